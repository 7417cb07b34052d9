package probe;

// Has a static method that takes a String[], but none named main.
public class NoMain {
    public static void start(String[] args) {
        System.out.println("never called");
    }
}
