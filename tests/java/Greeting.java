package probe;

// Shipped in a jar of its own, apart from ClassPathProbe.
public class Greeting {
    public static String text() {
        return "greeting from the second jar";
    }
}
