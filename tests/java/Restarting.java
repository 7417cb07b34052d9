package probe;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardOpenOption;
import java.util.Arrays;

// Counts its runs in a file (the first argument) and ends through System.exit
// with the code of the second argument while it has run fewer times than the
// third says, then with 0. Each run prints its number, the restart count the
// launcher gave, how often the runtime's bin folder is on the PATH (the
// launcher adds it once per start), whether the launcher's restart mark is
// left in the environment, and the remaining arguments as probe.Arguments does.
public class Restarting {
    public static void main(String[] args) throws Exception {
        Path runs = Paths.get(args[0]);
        Files.write(runs, "run\n".getBytes(StandardCharsets.UTF_8), StandardOpenOption.CREATE, StandardOpenOption.APPEND);
        int run = Files.readAllLines(runs).size();
        String path = System.getenv().getOrDefault("PATH", "");
        int binFolders = path.split("jre64", -1).length - 1;
        System.out.println("run " + run + " restarts " + System.getProperty("tarn.restart.count") + " bin " + binFolders
                + " mark " + System.getenv("TARN_RESTART_RECORD"));
        Arguments.main(Arrays.copyOfRange(args, 3, args.length));
        System.exit(run < Integer.parseInt(args[2]) ? Integer.parseInt(args[1]) : 0);
    }
}
