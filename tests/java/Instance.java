package probe;

// Single instance, the int form: main records its arguments and waits for
// the file "gate"; secondaryMain records its arguments and answers 40 plus
// their number, after the file "gate2" exists when the first one is "wait".
// main's own arguments "exit N" end the application with System.exit(N)
// once the gate is open.
public class Instance {
    public static void main(String[] args) throws InterruptedException {
        InstanceLog.log("instance.log", "main", args);
        InstanceLog.await("gate");
        if (args.length == 2 && args[0].equals("exit")) {
            System.exit(Integer.parseInt(args[1]));
        }
    }

    public static int secondaryMain(String[] args) throws InterruptedException {
        InstanceLog.log("instance.log", "secondary", args);
        if (args.length > 0 && args[0].equals("wait")) {
            InstanceLog.await("gate2");
        }
        return 40 + args.length;
    }
}
