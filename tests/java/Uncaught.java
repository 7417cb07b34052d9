package probe;

// Lets an exception escape from main.
public class Uncaught {
    public static void main(String[] args) {
        System.out.println("before the throw");
        throw new IllegalStateException("thrown out of main");
    }
}
