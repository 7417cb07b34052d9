package probe;

// Started from an executable JAR: what the runtime was told, then an exit
// code of its own.
public class JarProgram {
    public static void main(String[] args) {
        System.out.println("command " + System.getProperty("sun.java.command"));
        System.out.println("class path " + System.getProperty("java.class.path"));
        System.out.println("arguments " + String.join("|", args));
        System.exit(args.length + 40);
    }
}
