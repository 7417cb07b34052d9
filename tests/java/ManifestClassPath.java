package probe;

// Finds Greeting only through its JAR manifest's Class-Path.
public class ManifestClassPath {
    public static void main(String[] args) {
        System.out.println(Greeting.text());
    }
}
