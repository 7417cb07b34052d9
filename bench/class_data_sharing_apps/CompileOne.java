import java.net.URI;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import javax.tools.JavaCompiler;
import javax.tools.JavaFileObject;
import javax.tools.SimpleJavaFileObject;
import javax.tools.ToolProvider;

// Compiles one small class through javax.tools into a temporary folder: a
// start that loads a few thousand of the JDK's own classes.
public class CompileOne {
    public static void main(String[] args) throws Exception {
        JavaCompiler compiler = ToolProvider.getSystemJavaCompiler();
        String source = "public class Tiny { public static int twice(int x) { return 2 * x; } }";
        JavaFileObject file = new SimpleJavaFileObject(URI.create("string:///Tiny.java"), JavaFileObject.Kind.SOURCE) {
            @Override
            public CharSequence getCharContent(boolean ignoreEncodingErrors) {
                return source;
            }
        };
        Path out = Files.createTempDirectory("tiny");
        boolean compiled = compiler.getTask(null, null, null, List.of("-d", out.toString()), null, List.of(file)).call();
        Files.deleteIfExists(out.resolve("Tiny.class"));
        Files.delete(out);
        System.out.println(compiled ? "compiled" : "not compiled");
    }
}
