package probe;

// Lives in one jar and uses a class of another; prints the class path the
// VM was given, one entry to a line.
public class ClassPathProbe {
    public static void main(String[] args) {
        System.out.println(Greeting.text());
        for (String entry : System.getProperty("java.class.path").split(java.io.File.pathSeparator)) {
            System.out.println("entry " + entry);
        }
    }
}
