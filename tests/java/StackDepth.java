package probe;

// How deep main's thread can recurse before its stack overflows: a measure
// of that thread's stack size, which the launcher chose.
public class StackDepth {
    private static int depth;

    private static void descend(long a, long b) {
        depth++;
        descend(a + 1, b + a);
    }

    public static void main(String[] args) {
        try {
            descend(0, 0);
        } catch (StackOverflowError e) {
            System.out.println("depth " + depth);
        }
    }
}
