package probe;

// Prints, for each argument NAME, the environment variable NAME, and for
// each argument -DNAME, the system property NAME ("(unset)" when absent).
public class Environment {
    public static void main(String[] args) {
        for (String name : args) {
            String value = name.startsWith("-D")
                    ? System.getProperty(name.substring(2))
                    : System.getenv(name);
            System.out.println(name + "=" + (value == null ? "(unset)" : value));
        }
    }
}
