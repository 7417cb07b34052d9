package probe;

import java.io.File;
import java.net.URL;
import java.net.URLClassLoader;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;

// Steps of a run with a class-data archive, in the order of the arguments:
//   load <jar>           loads probe.Greeting from the jar through a loader of
//                        its own, which JDK 17 reports while it writes an
//                        archive ("[warning][cds] Skipping ...: Not linked")
//   gate <ready> <open>  makes the file <ready>, then waits until <open> exists
//   exit <code>          ends through System.exit
public class Archived {
    public static void main(String[] args) throws Exception {
        for (int i = 0; i < args.length; i += 2) {
            String value = args[i + 1];
            switch (args[i]) {
                case "load":
                    URL jar = new File(value).toURI().toURL();
                    ClassLoader loader = new URLClassLoader(new URL[] {jar}, null);
                    System.out.println("loaded " + loader.loadClass("probe.Greeting").getName());
                    break;
                case "gate":
                    Path open = Paths.get(args[i + 2]);
                    Files.createFile(Paths.get(value));
                    while (!Files.exists(open)) Thread.sleep(10);
                    System.out.println("passed the gate");
                    i++;
                    break;
                case "exit":
                    System.out.println("exiting with " + value);
                    System.exit(Integer.parseInt(value));
                    break;
                default:
                    throw new IllegalArgumentException(args[i]);
            }
        }
        System.out.println("done");
    }
}
