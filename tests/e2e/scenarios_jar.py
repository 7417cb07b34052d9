"""End-to-end scenarios of the Main Jar with the real JDK, run by run_linux.

Each JAR is made in the scenario's setup with the JDK's own `jar` tool from
the compiled probe classes. `java -jar` on the same JAR, with the same
arguments, is the reference: the launcher's standard output, standard error
and exit code must be the same.
"""

import subprocess
from pathlib import Path
from typing import Dict, List, Sequence

from scenarios_linux import Context, Result, Scenario, differences_from, error_line


def make_jar(context: Context, name: str, classes: Sequence[str], manifest: Dict[str, str]):
    """<dir>/<name> with the probe classes given (and their inner classes)
    and a manifest of these main attributes; None for no manifest at all."""
    compiled = context.dir.parent.parent / "classes"
    entries = []
    for cls in classes:
        entries += ["-C", str(compiled), "probe/%s.class" % cls]
    command = [str(context.jdk / "bin" / "jar"), "--create", "--file", str(context.dir / name)]
    if manifest is None:
        command.append("--no-manifest")
    else:
        text = "".join("%s: %s\n" % item for item in manifest.items())
        (context.dir / "manifest.txt").write_text(text)
        command += ["--manifest", str(context.dir / "manifest.txt")]
    subprocess.run(command + entries, check=True)


def jar_setup(name: str, classes: Sequence[str], manifest):
    return lambda context: make_jar(context, name, classes, manifest)


def like_java_jar(jar: str, args: Sequence[str] = (), shows: bytes = b""):
    """The launcher did what `java -jar <dir>/<jar> args` does, and its
    output starts with `shows` (filled), so that both failing alike fails."""

    def check(result: Result) -> List[str]:
        context = result.context
        reference = subprocess.run([str(context.jdk / "bin" / "java"), "-jar", str(context.dir / jar)] + list(args),
                                   cwd=str(context.dir), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        failures = []
        if not result.stdout.startswith(context.fill_bytes(shows)):
            failures.append("standard output does not start with %r" % shows)
        return failures + differences_from(result, reference, "java -jar")

    return check


def jar_ini(jar="app.jar", main="", vm="", class_path=None, jre="") -> str:
    text = "[Java Runtime Environment]\nMain Jar=%s\n" % jar + jre
    if main:
        text += "Main Class=%s\n" % main
    if vm:
        text += "Virtual Machine Parameters=%s\n" % vm
    if class_path is not None:
        text += "[Class Path]\nClass Path=%s\n" % class_path
    return text


MAIN = {"Main-Class": "probe.JarProgram"}

# A runtime that knows Enable-Native-Access (Java 22 and later); without the
# attribute it warns on standard error when a restricted method is called.
NEWER_JDK = Path("/usr/lib/jvm/temurin-25-jdk-amd64")
NATIVE_ACCESS_SOURCE = """package probe;

import java.lang.foreign.*;

// Calls C's strlen through a restricted method of the foreign function API.
public class NativeAccess {
    public static void main(String[] args) throws Throwable {
        Linker linker = Linker.nativeLinker();
        var strlen = linker.downcallHandle(linker.defaultLookup().find("strlen").orElseThrow(),
                FunctionDescriptor.of(ValueLayout.JAVA_LONG, ValueLayout.ADDRESS));
        try (Arena arena = Arena.ofConfined()) {
            System.out.println("strlen " + (long) strlen.invokeExact(arena.allocateFrom("four")));
        }
    }
}
"""


def native_access_jar(manifest):
    """The JAR of NativeAccess, compiled by the newer runtime's javac."""

    def prepare(context: Context):
        source = context.dir / "src" / "NativeAccess.java"
        source.parent.mkdir()
        source.write_text(NATIVE_ACCESS_SOURCE)
        classes = context.dir / "classes"
        subprocess.run([str(NEWER_JDK / "bin" / "javac"), "-d", str(classes), str(source)], check=True)
        (context.dir / "manifest.txt").write_text("".join("%s: %s\n" % item for item in manifest.items()))
        subprocess.run([str(NEWER_JDK / "bin" / "jar"), "--create", "--file", str(context.dir / "app.jar"),
                        "--manifest", str(context.dir / "manifest.txt"), "-C", str(classes), "probe"], check=True)

    return prepare


def like_newer_java_jar(quiet: bool):
    """As like_java_jar, with the newer runtime; `quiet`: nothing on standard error."""

    def check(result: Result) -> List[str]:
        context = result.context
        reference = subprocess.run([str(NEWER_JDK / "bin" / "java"), "-jar", str(context.dir / "app.jar")],
                                   cwd=str(context.dir), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        failures = [] if result.stdout == b"strlen 4\n" else ["standard output %r" % result.stdout]
        if quiet != (result.stderr == b""):
            failures.append("standard error %r" % result.stderr)
        return failures + differences_from(result, reference, "java -jar")

    return check

SCENARIOS = [
    # sun.java.command names the JAR, java.class.path is the JAR alone, and
    # System.exit's code comes through.
    Scenario("main-jar-like-java-jar", ini=jar_ini(), jars={}, args=["a", "b c"], exit_code=None, stdout=None, stderr=None,
             prepare=jar_setup("app.jar", ["JarProgram"], MAIN), check=like_java_jar("app.jar", ["a", "b c"], b"command {dir}/app.jar a b c\nclass path {dir}/app.jar\n")),
    Scenario("main-jar-add-opens-and-add-exports", ini=jar_ini(), jars={}, exit_code=None, stdout=None, stderr=None,
             prepare=jar_setup("app.jar", ["ModuleAccess"], {"Main-Class": "probe.ModuleAccess",
                                                              "Add-Opens": "java.base/java.lang",
                                                              "Add-Exports": "java.base/jdk.internal.misc"}),
             check=like_java_jar("app.jar", shows=b"String.value opened, 2 bytes\njdk.internal.misc exported")),
    Scenario("main-jar-launcher-agent-class", ini=jar_ini(), jars={}, exit_code=None, stdout=None, stderr=None,
             prepare=jar_setup("app.jar", ["LauncherAgent"], {"Main-Class": "probe.LauncherAgent",
                                                               "Launcher-Agent-Class": "probe.LauncherAgent"}),
             check=like_java_jar("app.jar", shows=b"agentmain, retransform false\nmain, agent ran with \n")),
    Scenario("main-jar-manifest-class-path", ini=jar_ini(), jars={"lib/util.jar": "util.jar"}, exit_code=None, stderr=None,
             stdout=None, prepare=jar_setup("app.jar", ["ManifestClassPath"], {"Main-Class": "probe.ManifestClassPath",
                                                                               "Class-Path": "lib/util.jar"}),
             check=like_java_jar("app.jar", shows=b"greeting from the second jar\n")),
    # Without the manifest's Add-Opens, the probe fails: the reference case
    # above is no accident of the runtime.
    Scenario("main-jar-with-main-class-is-a-class-path-entry", ini=jar_ini(main="probe.ModuleAccess"), jars={},
             exit_code=1, stdout=b"", stderr=None,
             prepare=jar_setup("app.jar", ["ModuleAccess"], {"Main-Class": "probe.JarProgram",
                                                              "Add-Opens": "java.base/java.lang"}),
             stderr_starts=b'Exception in thread "main" java.lang.reflect.InaccessibleObjectException'),
    # The JAR first, then the [Class Path] entries; Cmd and %VAR% as elsewhere.
    Scenario("main-jar-then-class-path-entries", ini=jar_ini(jar="%APP_FOLDER%/app.jar", class_path="lib/util.jar"),
             jars={"lib/util.jar": "util.jar"}, env={"APP_FOLDER": "{dir}"}, args=["x"], exit_code=41,
             prepare=jar_setup("app.jar", ["JarProgram"], MAIN),
             stdout=b"command {dir}/app.jar x\nclass path {dir}/app.jar:{dir}/lib/util.jar\narguments x\n"),
    # --- the failures: each its own message, exit code -1 ---
    Scenario("main-jar-missing", ini=jar_ini(jar="gone.jar"), jars={}, exit_code=255,
             stdout=error_line("Main Jar names no file: {dir}/gone.jar. The Java VM is not started.")),
    Scenario("main-jar-is-a-folder", ini=jar_ini(jar="lib"), jars={"lib/util.jar": "util.jar"}, exit_code=255,
             stdout=error_line("Main Jar names no file: {dir}/lib. The Java VM is not started.")),
    Scenario("main-jar-without-manifest", ini=jar_ini(), jars={}, exit_code=255,
             prepare=jar_setup("app.jar", ["JarProgram"], None),
             stdout=error_line("The main JAR {dir}/app.jar has no manifest.\n")),
    Scenario("main-jar-without-main-class", ini=jar_ini(), jars={}, exit_code=255,
             prepare=jar_setup("app.jar", ["JarProgram"], {"Created-By": "hand"}),
             stdout=error_line("The manifest of the main JAR {dir}/app.jar names no Main-Class.\n")),
    Scenario("main-jar-damaged", ini=jar_ini(), jars={}, exit_code=255, files={"app.jar": b"PK\x03\x04 not a zip"},
             stdout=error_line("The main JAR {dir}/app.jar cannot be read as a JAR: "
                             "java.util.zip.ZipException: zip END header not found.\n")),
    # A Main-Class that names nothing: the runtime's own text and code, as java -jar.
    Scenario("main-jar-main-class-missing", ini=jar_ini(), jars={}, exit_code=None, stdout=None, stderr=None,
             prepare=jar_setup("app.jar", ["JarProgram"], {"Main-Class": "probe.Absent"}),
             check=like_java_jar("app.jar")),
]

# Enable-Native-Access on a runtime that knows it: no warning, as under
# java -jar; without it, the same warning as there. Only where such a runtime
# is installed.
if NEWER_JDK.is_dir():
    SCENARIOS += [
        Scenario("main-jar-enable-native-access", ini=jar_ini(), jars={}, links={"jre64": str(NEWER_JDK)},
                 exit_code=None, stdout=None, stderr=None,
                 prepare=native_access_jar({"Main-Class": "probe.NativeAccess", "Enable-Native-Access": "ALL-UNNAMED"}),
                 check=like_newer_java_jar(quiet=True)),
        Scenario("main-jar-without-enable-native-access", ini=jar_ini(), jars={}, links={"jre64": str(NEWER_JDK)},
                 exit_code=None, stdout=None, stderr=None,
                 prepare=native_access_jar({"Main-Class": "probe.NativeAccess"}),
                 check=like_newer_java_jar(quiet=False)),
    ]
