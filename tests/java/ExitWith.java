package probe;

// Ends the VM with the code given as its first argument.
public class ExitWith {
    public static void main(String[] args) {
        System.out.println("exiting with " + args[0]);
        System.exit(Integer.parseInt(args[0]));
    }
}
