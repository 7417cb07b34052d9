package probe;

// Prints how the JDK's tools see this process: the sun.java.command and
// sun.java.launcher properties, and the line that `jps -l` gives for it.
public class Command {
    public static void main(String[] args) throws Exception {
        System.out.println("command " + System.getProperty("sun.java.command"));
        System.out.println("launcher " + System.getProperty("sun.java.launcher"));
        String pid = Long.toString(ProcessHandle.current().pid());
        String jps = System.getProperty("java.home") + "/bin/jps";
        Process process = new ProcessBuilder(jps, "-l").redirectErrorStream(true).start();
        try (java.io.BufferedReader lines = new java.io.BufferedReader(
                new java.io.InputStreamReader(process.getInputStream()))) {
            String line;
            while ((line = lines.readLine()) != null) {
                if (line.startsWith(pid + " ")) System.out.println("jps " + line.substring(pid.length() + 1));
            }
        }
        process.waitFor();
    }
}
