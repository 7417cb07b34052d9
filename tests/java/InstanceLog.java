package probe;

import java.io.FileOutputStream;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;

// The single-instance and service programs' record: one line per event in a
// file of the current directory, the arguments between brackets with every
// character outside printable ASCII as a Java escape (as probe.Arguments
// prints them); and the gates the scenarios open by making a file.
public class InstanceLog {
    public static synchronized void log(String file, String event, String[] args) {
        StringBuilder line = new StringBuilder(event);
        for (String arg : args) {
            line.append(" [");
            for (char c : arg.toCharArray()) {
                if (c >= 0x20 && c < 0x7F) {
                    line.append(c);
                } else {
                    line.append(String.format("\\u%04X", (int) c));
                }
            }
            line.append(']');
        }
        line.append('\n');
        try (FileOutputStream out = new FileOutputStream(file, true)) {
            out.write(line.toString().getBytes(StandardCharsets.UTF_8));
        } catch (IOException e) {
            throw new RuntimeException(e);
        }
    }

    public static void await(String gate) throws InterruptedException {
        while (!Files.exists(Paths.get(gate))) {
            Thread.sleep(10);
        }
    }
}
