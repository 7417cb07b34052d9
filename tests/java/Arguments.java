package probe;

// Prints its arguments one to a line between brackets, every character outside
// printable ASCII as a Java escape (backslash, u, four hex digits), so the
// check does not depend on the console's encoding.
public class Arguments {
    public static void main(String[] args) {
        System.out.println("count " + args.length);
        for (String arg : args) {
            StringBuilder line = new StringBuilder("[");
            for (char c : arg.toCharArray()) {
                if (c >= 0x20 && c < 0x7F) {
                    line.append(c);
                } else {
                    line.append(String.format("\\u%04X", (int) c));
                }
            }
            System.out.println(line.append(']'));
        }
    }
}
