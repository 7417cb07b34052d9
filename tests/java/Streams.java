package probe;

// One line on each of the Java standard streams, with the first argument.
public class Streams {
    public static void main(String[] args) {
        String tag = args.length > 0 ? args[0] : "";
        System.out.println("out " + tag);
        System.err.println("err " + tag);
    }
}
