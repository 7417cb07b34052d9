package probe;

import java.lang.management.ManagementFactory;

// Prints the heap limit the VM works with and the options it was given.
public class MemoryProbe {
    public static void main(String[] args) {
        System.out.println("maxMemory " + Runtime.getRuntime().maxMemory());
        for (String option : ManagementFactory.getRuntimeMXBean().getInputArguments()) {
            System.out.println("option " + option);
        }
    }
}
