package probe;

// Single instance, the void form: secondaryMain waits for the file "gate2"
// before it records its arguments, so a second start that has already
// ended was answered before the call.
public class VoidInstance {
    public static void main(String[] args) throws InterruptedException {
        InstanceLog.log("instance.log", "main", args);
        InstanceLog.await("gate");
    }

    public static void secondaryMain(String[] args) throws InterruptedException {
        InstanceLog.await("gate2");
        InstanceLog.log("instance.log", "secondary", args);
    }
}
