package probe;

// Both the agent (Launcher-Agent-Class) and the main class of a JAR.
public class LauncherAgent {
    private static volatile String agent = "never ran";

    public static void agentmain(String arguments, java.lang.instrument.Instrumentation instrumentation) {
        agent = "ran with " + arguments;
        System.out.println("agentmain, retransform " + instrumentation.isRetransformClassesSupported());
    }

    public static void main(String[] args) {
        System.out.println("main, agent " + agent);
    }
}
