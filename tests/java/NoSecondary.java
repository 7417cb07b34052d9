package probe;

// Single instance without a secondaryMain: requests are never answered.
// main waits for the file "gate", then ends with System.exit(N) for the
// arguments "exit N", or returns.
public class NoSecondary {
    public static void main(String[] args) throws InterruptedException {
        InstanceLog.log("instance.log", "main", args);
        InstanceLog.await("gate");
        if (args.length == 2 && args[0].equals("exit")) {
            System.exit(Integer.parseInt(args[1]));
        }
    }
}
