package probe.modular;

// Prints the module it runs in, the class path, the command the launcher
// named, whether another module was resolved, and its arguments.
public class Where {
    public static void main(String[] args) {
        System.out.println("module " + Where.class.getModule().getName());
        System.out.println("class path [" + System.getProperty("java.class.path") + "]");
        System.out.println("command [" + System.getProperty("sun.java.command") + "]");
        System.out.println("java.sql " + ModuleLayer.boot().findModule("java.sql").isPresent());
        System.out.println("arguments " + String.join(",", args));
    }
}
