package probe;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.util.concurrent.CountDownLatch;

// A service: main records its arguments and waits until stop() has been
// called, then returns; stop() records the call. Arguments: "child" first
// records the signal lines of a child process's /proc/self/status; "stuck"
// makes stop() let main go and then never return.
public class Service {
    private static final CountDownLatch stopped = new CountDownLatch(1);
    private static volatile boolean stuck;

    public static void main(String[] args) throws Exception {
        for (String arg : args) {
            if (arg.equals("stuck")) {
                stuck = true;
            } else if (arg.equals("child")) {
                Process child = new ProcessBuilder("grep", "-E", "^Sig(Blk|Ign)", "/proc/self/status").start();
                String lines = new String(child.getInputStream().readAllBytes(), StandardCharsets.US_ASCII);
                child.waitFor();
                for (String line : lines.split("\n")) {
                    InstanceLog.log("service.log", "child " + line.replace('\t', ' '), new String[0]);
                }
            }
        }
        InstanceLog.log("service.log", "main", args);
        stopped.await();
        InstanceLog.log("service.log", "main returns", new String[0]);
    }

    public static void stop() throws InterruptedException {
        InstanceLog.log("service.log", "stop", new String[0]);
        stopped.countDown();
        if (stuck) {
            new CountDownLatch(1).await();
        }
    }
}
