"""End-to-end scenarios of the Linux launcher with the real JDK, run by run_linux.

A scenario lays out a fresh folder <work>/scenarios/<name>/: the launcher
copied as `exe`, the INI text `ini` beside it, jars from the compiled
tests/java programs, links (by default jre64 -> the JDK) and the forwarding
JVM library at the places `forwarders` names. It starts the launcher with the
exact argument vector `args` and checks the exit code, standard output and
standard error byte for byte (or their start), files written, and whatever
`check` adds. "{dir}" stands for the scenario folder and "{jdk}" for the
JDK's home in INI texts, arguments, environment values and expectations.
A scenario with a machine layout (`machine_files`, `machine_links`,
`machine_forwarders`) runs the launcher built with a machine root compiled
in (tarn-machine-root), whose installed runtimes' system folders lie below
that root; "{root}" stands for it (scenarios_installed.py).
Programs run by the scenarios are the classes probe.* of tests/java.
"""

import os
import random
import re
from dataclasses import dataclass, field
from datetime import datetime
from pathlib import Path
from typing import Callable, Dict, List, Optional, Sequence, Union

from diagnosis_lines import unmatched

Expected = Union[None, bytes, Callable[["Context"], bytes]]


class Context:
    def __init__(self, folder: Path, jdk: Path, results: Dict[str, "Result"], forwarder: Optional[Path] = None,
                 root: Optional[Path] = None):
        self.dir = folder
        # The machine root of the launcher built for the machine layouts.
        self.root = root
        self.jdk = jdk
        # The forwarding JVM library (tests/e2e/jvm_forwarder_posix.c).
        self.forwarder = forwarder
        # The results of the scenarios that ran before, by name.
        self.results = results

    def fill(self, text: str) -> str:
        text = text.replace("{dir}", str(self.dir)).replace("{jdk}", str(self.jdk))
        return text.replace("{root}", str(self.root)) if self.root is not None else text

    def fill_bytes(self, expected: Expected) -> Optional[bytes]:
        if expected is None:
            return None
        if callable(expected):
            return expected(self)
        return self.fill(expected.decode("utf-8")).encode("utf-8")


@dataclass
class Result:
    context: Context
    exit_code: int
    stdout: bytes
    stderr: bytes
    started: datetime
    ended: datetime

    def lines(self) -> List[str]:
        return self.stdout.decode("utf-8", errors="replace").splitlines()


def ini(main="probe.Arguments", vm="", class_path: Optional[str] = "lib/probe.jar", jre="", app="") -> str:
    text = "[Java Runtime Environment]\n"
    if main:
        text += "Main Class=%s\n" % main
    if vm:
        text += "Virtual Machine Parameters=%s\n" % vm
    text += jre
    if app:
        text += "[Application]\n" + app
    if class_path is not None:
        text += "[Class Path]\nClass Path=%s\n" % class_path
    return text


@dataclass
class Scenario:
    name: str
    ini: Optional[str] = field(default_factory=ini)
    # Where the launcher is copied, relative to the folder.
    exe: str = "run"
    # The INI's place when it is not the one the launcher should find.
    ini_name: Optional[str] = None
    args: Sequence[str] = ()
    env: Dict[str, str] = field(default_factory=dict)
    # relative path -> jar built by run_linux (probe.jar, app.jar, util.jar)
    jars: Dict[str, str] = field(default_factory=lambda: {"lib/probe.jar": "probe.jar"})
    # relative path -> target of a symbolic link
    links: Dict[str, str] = field(default_factory=lambda: {"jre64": "{jdk}"})
    # relative paths that get a copy of the forwarding libjvm.so
    forwarders: Sequence[str] = ()
    # relative path -> bytes, or a function of the Context giving them
    files: Dict[str, Union[bytes, Callable[["Context"], bytes]]] = field(default_factory=dict)
    # The same three below the machine root, paths relative to it.
    machine_files: Dict[str, Union[bytes, Callable[["Context"], bytes]]] = field(default_factory=dict)
    machine_links: Dict[str, str] = field(default_factory=dict)
    machine_forwarders: Sequence[str] = ()
    # Runs after the lay-out, for what files cannot say (a FIFO, many files).
    prepare: Optional[Callable[["Context"], None]] = None
    cwd: Optional[str] = None
    exit_code: Optional[int] = 0
    stdout: Expected = b""
    stderr: Expected = b""
    stderr_starts: Expected = None
    contents: Dict[str, bytes] = field(default_factory=dict)
    check: Optional[Callable[[Result], List[str]]] = None
    # Several launches at once (scenarios_linux_processes.py): called with the
    # Context and a Launches in place of the one launch; gives the failures.
    procedure: Optional[Callable[["Context", object], List[str]]] = None

    def uses_machine(self) -> bool:
        return bool(self.machine_files or self.machine_links or self.machine_forwarders)

    def default_ini_name(self) -> str:
        folder, _, name = self.exe.rpartition("/")
        stem = name.rpartition(".")[0] if "." in name else name
        return (folder + "/" if folder else "") + stem + ".ini"


# --- expectations ------------------------------------------------------------


def passed_through() -> Dict[str, str]:
    """The runner's variables that every launch keeps: the time zone (the
    output files' stamps are checked against this process's clock), the
    sanitizer settings of a sanitizer build and the display."""
    names = ("TZ", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "DISPLAY")
    return {name: os.environ[name] for name in names if name in os.environ}


def differences_from(result: Result, reference, command: str) -> List[str]:
    """What the launcher's run did otherwise than `command` (a completed
    process of the JDK's own launcher on the same application)."""
    failures = []
    for what, ours, theirs in (("exit code", result.exit_code, reference.returncode),
                               ("standard output", result.stdout, reference.stdout),
                               ("standard error", result.stderr, reference.stderr)):
        if ours != theirs:
            failures.append("%s: %r, %s gives %r" % (what, ours, command, theirs))
    return failures


def diagnosed(expected: Sequence[str], file: str = ""):
    """The diagnose lines on standard error, or in `file` of the scenario
    folder, hold the expected ones in this order (diagnosis_lines.py)."""

    def check(result: Result) -> List[str]:
        output = (result.context.dir / file).read_bytes() if file else result.stderr
        lines = [result.context.fill(line) for line in expected]
        return unmatched(output, lines, str(result.context.dir), file or "standard error")

    return check


def holds(relative: str, text: str):
    """The file of the scenario folder holds the text, "{dir}" filled."""

    def check(result: Result) -> List[str]:
        path = result.context.dir / relative
        expected = result.context.fill(text).encode("utf-8")
        if not path.is_file():
            return ["expected file missing: %s" % relative]
        data = path.read_bytes()
        return [] if data == expected else ["%s holds %r, expected %r" % (relative, data[:300], expected)]

    return check


def echoed(*arguments: str) -> bytes:
    """What probe.Arguments prints for these arguments."""
    lines = ["count %d" % len(arguments)]
    for argument in arguments:
        units = argument.encode("utf-16-le")
        text = ""
        for i in range(0, len(units), 2):
            unit = units[i] | units[i + 1] << 8
            text += chr(unit) if 0x20 <= unit < 0x7F else "\\u%04X" % unit
        lines.append("[%s]" % text)
    return ("\n".join(lines) + "\n").encode("utf-8")


def error_line(text: str) -> bytes:
    return ("Error: %s \n" % text).encode("utf-8")


MISSING_RUNTIME = ("The Java Runtime Environment (JRE) was not found. Please  download and install a JRE %s(%s) from: "
                   "https://adoptium.net/marketplace/")
ADD_EXPORTS = "--add-exports=java.base/sun.launcher=ALL-UNNAMED"
THREAD_LOG = "-Xlog:os+thread=info:file=threads.log"
FORWARDED_HOME = ["old/lib/server/libjvm.so"]
JRE_PATH_OLD = "JRE Path={dir}/old\n"


def physical_kilobytes() -> int:
    return (os.sysconf("SC_PHYS_PAGES") * os.sysconf("SC_PAGE_SIZE")) >> 10


def heap_option(kilobytes: Callable[[], int]):
    """probe.MemoryProbe saw -Xmx<n>K, and its heap limit is close to it (the
    collector rounds it to its regions or keeps a survivor space aside)."""

    def check(result: Result) -> List[str]:
        expected = kilobytes()
        lines = result.lines()
        failures = []
        if "option -Xmx%dK" % expected not in lines:
            failures.append("the VM was not given -Xmx%dK" % expected)
        limits = [int(line.split()[1]) for line in lines if line.startswith("maxMemory ")]
        if not limits or not 0.85 * expected * 1024 <= limits[0] <= 1.05 * expected * 1024:
            failures.append("maxMemory %r is not close to %d KiB" % (limits, expected))
        return failures

    return check


def attached_stack(kilobytes: int, deeper_than: Optional[str] = None):
    """The VM's own record of the thread that created it (the first thread it
    saw attach) gives its stack size; with deeper_than, probe.StackDepth also
    reached more than eight times the depth of that earlier scenario."""

    def check(result: Result) -> List[str]:
        failures = []
        log = result.context.dir / "threads.log"
        text = log.read_text(errors="replace") if log.exists() else ""
        found = re.search(r"Thread attached \(tid: \d+.*?\((\d+)K\)", text)
        if found is None:
            failures.append("threads.log has no 'Thread attached' line")
        elif int(found.group(1)) != kilobytes:
            failures.append("the worker thread's stack is %sK, expected %dK" % (found.group(1), kilobytes))
        depth = [int(line.split()[1]) for line in result.lines() if line.startswith("depth ")]
        if not depth:
            failures.append("probe.StackDepth printed no depth")
        elif deeper_than is not None:
            earlier = result.context.results.get(deeper_than)
            before = [int(line.split()[1]) for line in earlier.lines() if line.startswith("depth ")] if earlier else []
            if not before:
                failures.append("no depth from %s to compare with" % deeper_than)
            elif depth[0] <= 8 * before[0]:
                failures.append("depth %d is not more than 8 x %d (%s)" % (depth[0], before[0], deeper_than))
        return failures

    return check


def class_path_entries(greeting: bool, entries: Callable[[Context], List[str]], ordered: bool):
    def check(result: Result) -> List[str]:
        lines = result.lines()
        failures = []
        if greeting and (not lines or lines[0] != "greeting from the second jar"):
            failures.append("the class from the second jar did not answer")
        seen = [line[len("entry ") :] for line in lines if line.startswith("entry ")]
        wanted = entries(result.context)
        if (seen if ordered else sorted(seen)) != (wanted if ordered else sorted(wanted)):
            failures.append("class path entries %r, expected %r" % (seen, wanted))
        return failures

    return check


def stamped_logs(result: Result) -> List[str]:
    """logs/<yyyyMMdd>/out-<HHmmss>.<ms>.log and err-... with one stamp taken
    during the run."""
    failures = []
    found = {}
    for path in sorted((result.context.dir / "logs").rglob("*.log")):
        relative = str(path.relative_to(result.context.dir))
        match = re.fullmatch(r"logs/(\d{8})/(out|err)-(\d{6})\.(\d{1,3})\.log", relative)
        if match is None:
            failures.append("unexpected log file %s" % relative)
            continue
        found[match.group(2)] = (match.group(1), match.group(3), match.group(4), path.read_bytes())
    if set(found) != {"out", "err"}:
        return failures + ["expected one out- and one err- log, found %r" % sorted(found)]
    if found["out"][:3] != found["err"][:3]:
        failures.append("the two names carry different stamps: %r, %r" % (found["out"][:3], found["err"][:3]))
    date, time, millis, _ = found["out"]
    stamp = datetime.strptime(date + time, "%Y%m%d%H%M%S")
    if not result.started.replace(microsecond=0) <= stamp <= result.ended:
        failures.append("stamp %s lies outside the run (%s to %s)" % (stamp, result.started, result.ended))
    if str(int(millis)) != millis:
        failures.append("milliseconds %r carry a leading zero" % millis)
    for stream, data in (("out", b"out x\n"), ("err", b"err x\n")):
        if found[stream][3] != data:
            failures.append("%s log holds %r, expected %r" % (stream, found[stream][3], data))
    return failures


# --- the scenarios -----------------------------------------------------------

UNUSUAL_ARGUMENTS = [
    "plain",
    "two words",
    "",
    'say "hi"',
    "C:\\dir\\",
    "tab\there",
    "  spaced  ",
    "caf\u00e9",
    "\u65e5\u672c\u8a9e",
    "\U0001F600",
]

# A class path entry that matches nothing, and an option the VM refuses.
REFUSED_OPTION = dict(
    ini=ini(vm="-Xbogus", class_path="lib/probe.jar;missing/*.jar"),
    exit_code=255,
    stdout=error_line("JNI exception: failed to create the Java VM\nReason: unknown.\n"),
    stderr=b"Unrecognized option: -Xbogus\n",
)

SCENARIOS = [
    # --- arguments -------------------------------------------------------------
    Scenario("arguments-exact", args=UNUSUAL_ARGUMENTS, stdout=echoed(*UNUSUAL_ARGUMENTS)),
    Scenario("arguments-none", stdout=echoed()),
    Scenario(
        "arguments-cmd-after-command-line",
        ini=ini(app='Cmd=one "two words"  %TARN_E2E_WORD% "" %TARN_E2E_UNSET%\n'),
        args=["first", "second"],
        env={"TARN_E2E_WORD": "w\u00f6rt"},
        stdout=echoed("first", "second", "one", "two words", "w\u00f6rt", "%TARN_E2E_UNSET%"),
    ),
    # --- exit codes and failures ------------------------------------------------
    Scenario("exit-code-from-system-exit", ini=ini("probe.ExitWith"), args=["3"], exit_code=3, stdout=b"exiting with 3\n"),
    Scenario(
        # As the JDK's own launcher: 1, after the VM has described the exception.
        "uncaught-exception-exits-1",
        ini=ini("probe.Uncaught"),
        exit_code=1,
        stdout=b"before the throw\n",
        stderr=None,
        stderr_starts=b'Exception in thread "main" java.lang.IllegalStateException: thrown out of main\n'
        b"\tat probe.Uncaught.main(",
    ),
    # A VM Provider that admits IBM runtimes no longer keeps the main thread
    # of another runtime (there are no IBM runtimes to find on Linux).
    Scenario("vm-provider-favor-sun-ends-when-main-returns", ini=ini(jre="VM Provider=favor_sun\n"), args=["a"],
             stdout=echoed("a")),
    Scenario("vm-provider-favor-sun-uncaught-exception", ini=ini("probe.Uncaught", jre="VM Provider=favor_sun\n"),
             exit_code=1, stdout=b"before the throw\n", stderr=None,
             stderr_starts=b'Exception in thread "main" java.lang.IllegalStateException: thrown out of main\n'),
    Scenario("non-daemon-thread-keeps-the-process", ini=ini("probe.Lingering"),
             stdout=b"main returns\nmain thread ended\nworker thread ends\n"),
    # Through LauncherHelper the VM itself reports a missing class or method and exits with 1.
    Scenario(
        "main-class-missing-boot-loader-route",
        ini=ini("probe.Missing"),
        exit_code=1,
        stderr=b"Error: Could not find or load main class probe.Missing\n"
        b"Caused by: java.lang.ClassNotFoundException: probe.Missing\n",
    ),
    Scenario(
        "main-method-missing-boot-loader-route",
        ini=ini("probe.NoMain"),
        exit_code=1,
        stderr=None,
        stderr_starts=b"Error: Main method not found in class probe.NoMain, please define the main method as:\n",
    ),
    # Through FindClass the launcher reports them (a runtime without the boot-loader export).
    Scenario(
        "main-class-missing-find-class-route",
        ini=ini("probe.Missing", jre=JRE_PATH_OLD),
        links={},
        forwarders=FORWARDED_HOME,
        exit_code=255,
        stdout=error_line("Could not find the main class probe/Missing.\n"),
        stderr=None,
        stderr_starts=b'Exception in thread "main" java.lang.NoClassDefFoundError: probe/Missing\n',
    ),
    # HotSpot's GetStaticMethodID throws NoSuchMethodError; its description is
    # the whole report.
    Scenario(
        "main-method-missing-find-class-route",
        ini=ini("probe.NoMain", jre=JRE_PATH_OLD),
        links={},
        forwarders=FORWARDED_HOME,
        exit_code=255,
        stderr=None,
        stderr_starts=b'Exception in thread "main" java.lang.NoSuchMethodError: ',
    ),
    Scenario(
        "vm-option-unrecognized",
        ini=ini(vm="-Xbogus"),
        exit_code=255,
        stdout=error_line("JNI exception: failed to create the Java VM\nReason: unknown.\n"),
        stderr=b"Unrecognized option: -Xbogus\n",
    ),
    Scenario(
        "vm-option-unknown-flag",
        ini=ini(vm="-XX:+NoSuchFlag"),
        exit_code=255,
        stdout=error_line("JNI exception: failed to create the Java VM\nReason: invalid arguments.\n"),
        stderr=b"Unrecognized VM option 'NoSuchFlag'\n",
    ),
    # The VM refuses the size; the worker's stack must still be big enough for it to say so.
    Scenario(
        "stack-too-small-for-the-vm",
        ini=ini(vm="-Xss1k"),
        exit_code=255,
        stdout=lambda c: b"\nThe Java thread stack size specified is too small. Specify at least 136k\n"
        + error_line("JNI exception: failed to create the Java VM\nReason: unknown.\n"),
    ),
    # --- the two routes to the main class ----------------------------------------
    Scenario("route-boot-loader", ini=ini("probe.Route", vm=ADD_EXPORTS), stdout=b"LauncherHelper\n"),
    Scenario(
        "route-find-class",
        ini=ini("probe.Route", vm=ADD_EXPORTS, jre=JRE_PATH_OLD),
        links={},
        forwarders=FORWARDED_HOME,
        stdout=b"FindClass\n",
    ),
    # --- class path ------------------------------------------------------------
    Scenario(
        "class-path-wildcard",
        ini=ini("probe.ClassPathProbe", class_path="lib/*.jar"),
        jars={"lib/app.jar": "app.jar", "lib/util.jar": "util.jar"},
        files={"lib/notes.txt": b"not a jar"},
        stdout=None,
        check=class_path_entries(True, lambda c: ["%s/lib/app.jar" % c.dir, "%s/lib/util.jar" % c.dir], False),
    ),
    # An undefined variable stays as written: the entry is then relative and names nothing.
    Scenario(
        "class-path-variables",
        ini=ini(
            "probe.ClassPathProbe",
            class_path="%TARN_E2E_SHARED%/app.jar;%TARN_E2E_SHARED%/u*.jar;/nonexistent/absent.jar;%TARN_E2E_UNSET%/x.jar",
        ),
        jars={"shared/app.jar": "app.jar", "shared/util.jar": "util.jar"},
        env={"TARN_E2E_SHARED": "{dir}/shared"},
        stdout=None,
        check=class_path_entries(
            True, lambda c: ["%s/shared/app.jar" % c.dir, "%s/shared/util.jar" % c.dir, "/nonexistent/absent.jar"], True
        ),
    ),
    # The class path ends without an empty element: the current directory,
    # which anyone may have written to, is not searched for classes or
    # resources the application asks for by name.
    Scenario(
        "class-path-without-the-current-directory",
        ini=ini("probe.Lookup"),
        args=["planted.txt", "planted.Evil"],
        cwd="work",
        files={"work/planted.txt": b"planted", "work/planted/Evil.class": b"\xca\xfe\xba\xbe"},
        stdout=b"resource planted.txt: missing\nclass planted.Evil: missing\n",
    ),
    # Nor from a variable whose value ends in the list separator, a common
    # shape for such variables.
    Scenario(
        "class-path-value-ending-in-the-separator",
        ini=ini("probe.Lookup", class_path="%TARN_E2E_CP%;/nonexistent/other.jar"),
        env={"TARN_E2E_CP": "{dir}/lib/probe.jar:"},
        args=["planted.txt", "planted.Evil"],
        cwd="work",
        files={"work/planted.txt": b"planted", "work/planted/Evil.class": b"\xca\xfe\xba\xbe"},
        stdout=b"resource planted.txt: missing\nclass planted.Evil: missing\n",
    ),
    # The JDK's tools see the main class and the arguments, as with java.
    Scenario(
        "visible-to-the-jdk-tools",
        ini=ini("probe.Command"),
        args=["a", "b c"],
        stdout=b"command probe.Command a b c\nlauncher SUN_STANDARD\njps probe.Command\n",
    ),
    Scenario(
        "jdk-tools-properties-of-the-application-win",
        ini=ini("probe.Command", vm="-Dsun.java.command=custom.Name -Dsun.java.launcher=mine"),
        stdout=b"command custom.Name\nlauncher mine\njps custom.Name\n",
    ),
    # A configuration written for Windows reads the same here; a path with a
    # drive letter names nothing and is said to.
    Scenario(
        "windows-paths-in-the-configuration",
        ini=ini(class_path="\\lib\\probe.jar;C:\\lib\\other.jar", jre="JRE Path=C:\\Java\\jre\n"),
        args=["x"],
        stdout=error_line("JRE Path is a Windows path, which has no meaning on this platform: C:\\Java\\jre.")
        + error_line("Class Path is a Windows path, which has no meaning on this platform: C:\\lib\\other.jar.")
        + echoed("x"),
    ),
    # No class path: the start ends before the VM, which would otherwise
    # look for classes in CLASSPATH or the current directory.
    Scenario(
        "class-path-missing",
        ini=ini(class_path=None),
        exit_code=255,
        stdout=error_line("Java Class Path was not specified in INI file."),
        stderr=b"",
    ),
    Scenario(
        "class-path-matching-nothing-names-its-entries",
        ini=ini(class_path="nowhere/*.jar;lib/missing.jar"),
        env={"CLASSPATH": "{dir}/lib/probe.jar"},
        exit_code=255,
        stdout=error_line("Java Class Path entries matched no file: nowhere/*.jar;lib/missing.jar. "
                          "The Java VM is not started."),
        stderr=b"",
    ),
    # --- memory and stack ------------------------------------------------------------
    Scenario("heap-percent-of-memory", ini=ini("probe.MemoryProbe", vm="-Xmx25p"), stdout=None,
             check=heap_option(lambda: int(physical_kilobytes() * (25 / 100.0)))),
    Scenario("heap-percent-minimum", ini=ini("probe.MemoryProbe", vm="-Xmx0:256:0p"), stdout=None,
             check=heap_option(lambda: 256 * 1024)),
    Scenario("stack-default-from-the-vm", ini=ini("probe.StackDepth", vm=THREAD_LOG), stdout=None,
             check=attached_stack(1024)),
    Scenario("stack-xss", ini=ini("probe.StackDepth", vm="-Xss3m " + THREAD_LOG), stdout=None,
             check=attached_stack(3072)),
    Scenario("stack-last-xss-counts", ini=ini("probe.StackDepth", vm="-Xss1m -Xss3m " + THREAD_LOG), stdout=None,
             check=attached_stack(3072)),
    Scenario("stack-xss-percent", ini=ini("probe.StackDepth", vm="-Xss0:3:0p " + THREAD_LOG), stdout=None,
             check=attached_stack(3072)),
    Scenario("stack-small", ini=ini("probe.StackDepth", vm="-Xss512k " + THREAD_LOG), stdout=None,
             check=attached_stack(512)),
    Scenario("stack-large", ini=ini("probe.StackDepth", vm="-Xss16m " + THREAD_LOG), stdout=None,
             check=attached_stack(16384, deeper_than="stack-small")),
    # --- output and error files ----------------------------------------------------
    Scenario(
        "output-files-stamped",
        # One stamp per name, from its first to its last "%"; the quotes keep
        # the "t" of "out" from being read as the AM/PM picture.
        ini=ini("probe.Streams", app="Output File=logs/%yyyyMMdd'/out-'HHmmss.L%.log\n"
                "Error File=logs/%yyyyMMdd'/err-'HHmmss.L%.log\n"),
        args=["x"],
        check=stamped_logs,
    ),
    # Appending takes exactly "yes".
    Scenario(
        "output-append-and-truncate",
        ini=ini("probe.Streams", app="Output File=out.log\nOutput Append=Yes\nError File=err.log\nError Append=yes\n"),
        args=["x"],
        files={"out.log": b"old out\n", "err.log": b"old err\n"},
        contents={"out.log": b"out x\n", "err.log": b"old err\nerr x\n"},
    ),
    # An undefined reference is no stamp: nothing is made in the current
    # directory (a picture "TARN_E2E_UNSET" would), the output stays on the console.
    Scenario(
        "output-file-undefined-reference-is-no-stamp",
        ini=ini("probe.Streams", app="Output File=%TARN_E2E_UNSET%/out.log\n"),
        args=["x"],
        cwd="work",
        files={"work/keep": b""},
        stdout=error_line("Output File names an environment variable that is not defined: %TARN_E2E_UNSET%/out.log. "
                          "That output stays on the console.") + b"out x\n",
        stderr=b"err x\n",
        check=lambda result: [] if sorted(p.name for p in (result.context.dir / "work").iterdir()) == ["keep"]
        else ["the current directory holds %r" % sorted(p.name for p in (result.context.dir / "work").iterdir())],
    ),
    Scenario(
        "output-file-cannot-be-opened",
        ini=ini("probe.Streams", app="Output File=blocker/out.log\nError File=%TARN_E2E_LOGS%/err.log\n"),
        args=["x"],
        env={"TARN_E2E_LOGS": "{dir}/logs"},
        files={"blocker": b"a file where a folder should be\n"},
        stdout=b"out x\n",
        stderr=None,
        stderr_starts=b'Exception in thread "main" java.io.FileNotFoundException: blocker/out.log (Not a directory)\n',
        contents={"logs/err.log": b"err x\n"},
    ),
    # --- the runtime and the environment ------------------------------------------
    Scenario(
        "runtime-jre-path",
        ini=ini("probe.Environment", jre="JRE Path={jdk}\n"),
        links={},
        args=["TARN_JVM_PATH", "TARN_JVM_HOME", "-Djava.home"],
        stdout=b"TARN_JVM_PATH={jdk}/lib/server/libjvm.so\nTARN_JVM_HOME={jdk}\n-Djava.home={jdk}\n",
    ),
    Scenario(
        "runtime-private-jre64",
        ini=ini("probe.Environment"),
        args=["TARN_JVM_PATH", "TARN_JVM_HOME", "PATH"],
        env={"PATH": "/usr/bin:/bin"},
        stdout=b"TARN_JVM_PATH={dir}/jre64/lib/server/libjvm.so\nTARN_JVM_HOME={dir}/jre64\n"
        b"PATH=/usr/bin:/bin:{dir}/jre64/bin\n",
    ),
    Scenario(
        "runtime-jre-path-without-vm-falls-back",
        ini=ini("probe.Environment", jre="JRE Path={dir}/empty\n"),
        files={"empty/lib/readme": b"no VM here\n"},
        args=["TARN_JVM_HOME"],
        stdout=b"TARN_JVM_HOME={dir}/jre64\n",
    ),
    Scenario(
        "runtime-launcher-in-java-home",
        ini=ini("probe.Environment", class_path="app/probe.jar"),
        jars={"app/probe.jar": "probe.jar"},
        links={"lib": "{jdk}/lib"},
        args=["TARN_JVM_HOME"],
        stdout=b"TARN_JVM_HOME={dir}\n",
    ),
    Scenario(
        "runtime-java8-development-kit-layout",
        ini=ini("probe.Environment", jre="JRE Path={dir}/jdk8\n"),
        links={},
        forwarders=["jdk8/jre/lib/amd64/server/libjvm.so"],
        args=["TARN_JVM_PATH", "TARN_JVM_HOME", "PATH"],
        env={"PATH": "/usr/bin"},
        stdout=b"TARN_JVM_PATH={dir}/jdk8/jre/lib/amd64/server/libjvm.so\nTARN_JVM_HOME={dir}/jdk8/jre\n"
        b"PATH=/usr/bin:{dir}/jdk8/jre/bin\n",
    ),
    Scenario(
        "runtime-java8-runtime-layout",
        ini=ini("probe.Environment", jre="JRE Path={dir}/jre8\nJVM Type=server\n"),
        links={},
        forwarders=["jre8/lib/amd64/server/libjvm.so"],
        args=["TARN_JVM_HOME"],
        stdout=b"TARN_JVM_HOME={dir}/jre8\n",
    ),
    Scenario(
        "system-path-and-library-path",
        ini=ini("probe.Environment", jre="System Path=/opt/tools\nLibrary Path=/opt/native:%TARN_E2E_NATIVE%\n"),
        args=["PATH", "-Djava.library.path"],
        env={"PATH": "/usr/bin:/bin", "TARN_E2E_NATIVE": "/srv/native"},
        stdout=b"PATH=/opt/tools:/usr/bin:/bin:{dir}/jre64/bin\n"
        b"-Djava.library.path=/opt/native:/srv/native:{dir}/:.:/usr/bin:/bin:{dir}/jre64/lib\n",
    ),
    Scenario(
        "runtime-missing",
        links={},
        exit_code=255,
        stdout=error_line(MISSING_RUNTIME % ("", "latest version")),
    ),
    Scenario(
        "runtime-missing-server-minimum",
        ini=ini(jre="JVM Type=server\nMinimum Version=11\n"),
        links={},
        exit_code=255,
        stdout=error_line(MISSING_RUNTIME % ("with a server JVM ", "minimum version 11.0")),
    ),
    # --- where the configuration file lies ----------------------------------------
    Scenario("configuration-extension-replaced", exe="my.app", ini_name="my.ini", args=["x"], stdout=echoed("x")),
    Scenario(
        "configuration-in-folder-with-dot",
        exe="v1.2/run",
        ini_name="v1.2/run.ini",
        jars={"v1.2/lib/probe.jar": "probe.jar"},
        links={"v1.2/jre64": "{jdk}"},
        args=["x"],
        stdout=echoed("x"),
    ),
    Scenario(
        "non-ascii-folder",
        exe="Pr\u00f6gramme und Daten/run",
        jars={"Pr\u00f6gramme und Daten/lib/probe.jar": "probe.jar"},
        links={"Pr\u00f6gramme und Daten/jre64": "{jdk}"},
        args=["\u00fc"],
        stdout=echoed("\u00fc"),
    ),
    Scenario(
        "override-working-dir",
        ini=ini("probe.Environment", app="Override WorkingDir=yes\n"),
        files={"elsewhere/.keep": b""},
        cwd="elsewhere",
        args=["-Duser.dir"],
        stdout=b"-Duser.dir={dir}\n",
    ),
    # --- settings that Linux takes otherwise or not at all ------------------------------
    Scenario("single-instance-other-values-ignored", ini=ini(app="Single Instance=Yes\n"), args=["x"],
             stdout=echoed("x")),
    Scenario("pair-product-ignored", ini=ini(app="Pair Product=run32\nPair Return Code=yes\n"), args=["x"],
             stdout=echoed("x")),
    # --- the diagnose mode (TARN_DIAGNOSE) ------------------------------------------------
    Scenario(
        "diagnose-into-a-file-class-path-and-refused-option",
        env={"TARN_DIAGNOSE": "{dir}/diag.log"},
        check=diagnosed(
            [
                "start <now> (local time), tarn 0.1.0, 64-bit, process <n>",
                "launcher {dir}/run",
                "TARN_APP_DIR={dir} (the launcher's folder, for %TARN_APP_DIR% in the configuration)",
                "configuration file {dir}/run.ini",
                "[Java Runtime Environment] Main Class=probe.Arguments (configuration file)",
                "per-user file: none",
                "JRE Path: not set",
                "shipped runtime: taken: {dir}/jre64/lib/server/libjvm.so",
                "loaded {dir}/jre64/lib/server/libjvm.so",
                "class path entry lib/probe.jar: gave {dir}/lib/probe.jar",
                "class path entry missing/*.jar: matched nothing",
                "VM option 1: -Djava.class.path={dir}/lib/probe.jar",
                "VM option 2: -Xbogus",
                "JNI_CreateJavaVM refused: -1 (unknown); an option it does not know is enough",
                "exit code -1: the VM refused to be created",
                "the whole start took <ms>",
            ],
            file="diag.log",
        ),
        **REFUSED_OPTION
    ),
    # The same start without the variable: not a byte more.
    Scenario("diagnose-unset-output-unchanged", **REFUSED_OPTION),
    Scenario(
        "diagnose-to-standard-error-jre-path-passed-over",
        ini=ini(jre="JRE Path={dir}/nowhere\nJVM Type=server\n"),
        env={"TARN_DIAGNOSE": "1"},
        args=["x"],
        stdout=echoed("x"),
        stderr=None,
        check=diagnosed(
            [
                "[Java Runtime Environment] JVM Type=server (configuration file)",
                "reading the configuration took <ms>",
                "JRE Path {dir}/nowhere/: passed over: no runtime there (no lib/libjava.so)",
                "shipped runtime: taken: {dir}/jre64/lib/server/libjvm.so",
                "the runtime search took <ms>",
                "VM option 2: -Dsun.java.command=probe.Arguments x",
                "main class probe/Arguments: loaded through LauncherHelper.checkAndLoadMain",
                "main took <ms>",
                "exit code 0: main returned",
            ]
        ),
    ),
]

SCENARIOS += [
    Scenario(
        # Values a person reads otherwise: each is said once, with what it
        # means to the launcher; and one start's lines told from the next one's.
        "diagnose-values-read-otherwise",
        ini=ini(jre="Preferred versions=11;;17\nMaximum Version=Any\n",
                app="Single Instance=Yes\nPair Return Code=yes\nOutput Append=yes ; keep the old lines\n"),
        env={"TARN_DIAGNOSE": "1"},
        args=["x"],
        stdout=echoed("x"),
        stderr=None,
        check=diagnosed(
            [
                "start <now> (local time), tarn 0.1.0, 64-bit, process <n>",
                "[Java Runtime Environment] Maximum Version=Any means 0.0.0.0, as it has no digits: every installed "
                "runtime lies above it (for no upper bound write any, in lower case)",
                "[Java Runtime Environment] Preferred versions=11;;17 means that entry 2, empty, matches every runtime: "
                "the entries after it are never looked at",
                "[Application] Single Instance=Yes means off: only yes, in lower case, turns it on",
                "[Application] Pair Return Code=yes means on: Yes turns it on in any case of letters",
                "[Application] Output Append=yes ; keep the old lines means off: only yes, in lower case, turns it on; "
                "the file has no comments, all after = is the value",
                "exit code 0: main returned",
            ]
        ),
    ),
    Scenario(
        # No class path: the start ends before the VM, and the last line says so.
        "diagnose-no-class-path",
        ini=ini(class_path="nowhere/*.jar"),
        env={"TARN_DIAGNOSE": "1"},
        exit_code=255,
        stdout=error_line("Java Class Path entries matched no file: nowhere/*.jar. The Java VM is not started."),
        stderr=None,
        check=diagnosed(
            [
                "class path entry nowhere/*.jar: matched nothing",
                "exit code -1: no class path, so the VM was not started (see the message)",
                "the whole start took <ms>",
            ]
        ),
    ),
]

# %TARN_APP_DIR%: the launcher's folder in every setting that expands
# references, and in the application's environment, wherever the start is
# made from (Windows separators, as a file shared with Windows has them).
SCENARIOS += [
    Scenario(
        "application-folder-variable",
        exe="app/run",
        ini=ini("probe.Environment", class_path="%TARN_APP_DIR%\\lib\\probe.jar",
                vm="-Dapp.home=%TARN_APP_DIR%", jre="JRE Path=%TARN_APP_DIR%\\rt\n",
                app="Cmd=TARN_APP_DIR -Dapp.home %TARN_APP_DIR%\nOutput File=%TARN_APP_DIR%\\logs\\out.log\n"),
        jars={"app/lib/probe.jar": "probe.jar"},
        links={"app/rt": "{jdk}"},
        files={"elsewhere/.keep": b"", "app/logs/.keep": b""},
        cwd="elsewhere",
        args=["TARN_JVM_HOME"],
        check=holds("app/logs/out.log", "TARN_JVM_HOME={dir}/app/rt\nTARN_APP_DIR={dir}/app\n"
                                        "-Dapp.home={dir}/app\n{dir}/app=(unset)\n"),
    ),
]

# A diagnose file that cannot be opened, or is no regular file: the lines go to
# the standard error stream after one that says so. A FIFO without a reader
# would make a blocking open wait for ever. (name, TARN_DIAGNOSE, prepare)
UNOPENABLE_DIAGNOSE_FILES = [
    ("missing-folder", "{dir}/nowhere/diag.log", None),
    ("a-folder", "{dir}/logs", lambda context: (context.dir / "logs").mkdir()),
    ("a-fifo", "{dir}/diag.fifo", lambda context: os.mkfifo(context.dir / "diag.fifo")),
    ("a-device", "/dev/null", None),
]

SCENARIOS += [
    Scenario(
        "diagnose-file-cannot-be-opened-" + name,
        env={"TARN_DIAGNOSE": value},
        prepare=prepare,
        args=["x"],
        stdout=echoed("x"),
        stderr=None,
        check=diagnosed(
            [
                "cannot open the diagnose file %s; the lines go to the standard error stream" % value,
                "launcher {dir}/run",
                "exit code 0: main returned",
            ]
        ),
    )
    for name, value, prepare in UNOPENABLE_DIAGNOSE_FILES
]

# /dev/stderr names the standard error stream itself, a pipe here: taken.
SCENARIOS += [
    Scenario(
        "diagnose-file-that-is-the-standard-error-pipe",
        env={"TARN_DIAGNOSE": "/dev/stderr"},
        args=["x"],
        stdout=echoed("x"),
        stderr=None,
        check=lambda result: ["the launcher said it could not open /dev/stderr"]
        if b"cannot open the diagnose file" in result.stderr
        else diagnosed(["launcher {dir}/run", "exit code 0: main returned"])(result),
    ),
]

# --- hostile inputs (the Windows table: scenarios_hostile.py) ---------------------------

MEGABYTE = 1024 * 1024
PLAIN_INI = ini().encode("utf-8")
NO_MAIN_CLASS = error_line("Main class was not specified in INI file.")


def fifty_megabytes(context: Context) -> bytes:
    line = b"[Filler]\nKey=" + b"v" * 100 + b"\n"
    return line * (50 * MEGABYTE // len(line)) + PLAIN_INI


def random_bytes(context: Context) -> bytes:
    # A fixed seed, and no BOM: the same bytes, read as UTF-8, every run.
    data = bytearray(random.Random(16).randbytes(MEGABYTE))
    data[0:2] = b"ab"
    return bytes(data)


def make_fifo(relative: str):
    return lambda context: os.mkfifo(context.dir / relative)


def many_files(count: int):
    def prepare(context: Context):
        (context.dir / "many").mkdir()
        for i in range(count):
            (context.dir / "many" / ("m%05d.jar" % i)).touch()

    return prepare


def elf_of_other_class(context: Context) -> bytes:
    """The forwarding library marked as a 32-bit ELF file."""
    data = bytearray(context.forwarder.read_bytes())
    data[4] = 1  # EI_CLASS: ELFCLASS32
    return bytes(data)


def path_of(length: int) -> str:
    entries = []
    while len(":".join(entries)) + 2 * 61 < length:
        entries.append("/p%04d/" % len(entries) + "x" * 53)
    entries.append("/last/" + "z" * (length - len(":".join(entries)) - 1 - 6))
    return ":".join(entries)


# An output file 300 characters below the scenario folder.
LONG_OUTPUT = "d" * 100 + "/" + "e" * 100 + "/" + "o" * 98


LIBJVM = "jre64/lib/server/libjvm.so"
HOSTILE_LIBRARY = {"jre64/lib/libjava.so": b""}
LOAD_FAILED = "Failed to load Java VM library: {dir}/%s (errno = %d).\n" % (LIBJVM, 8)

SCENARIOS += [
    # --- the configuration file ---
    Scenario("ini-of-50-megabytes", ini=None, files={"run.ini": fifty_megabytes}, args=["x"], stdout=echoed("x")),
    Scenario("ini-of-random-bytes", ini=None, files={"run.ini": random_bytes}, exit_code=255, stdout=NO_MAIN_CLASS),
    Scenario(
        "ini-in-utf16-with-an-odd-byte-count",
        ini=None,
        files={"run.ini": b"\xff\xfe" + ini().encode("utf-16-le") + b"A"},
        args=["x"],
        stdout=echoed("x"),
    ),
    Scenario("ini-with-a-section-line-of-1-megabyte", ini=None,
             files={"run.ini": b"[" + b"s" * MEGABYTE + b"]\nKey=value\n" + PLAIN_INI}, args=["x"], stdout=echoed("x")),
    Scenario("ini-with-a-key-line-of-1-megabyte", ini=None,
             files={"run.ini": PLAIN_INI.replace(b"]\n", b"]\n" + b"k" * MEGABYTE + b"=value\n", 1)},
             args=["x"], stdout=echoed("x")),
    # Only a regular file is read; a pipe or a device is no configuration and
    # is not waited for.
    Scenario("ini-is-a-named-pipe", ini=None, prepare=make_fifo("run.ini"), exit_code=255, stdout=NO_MAIN_CLASS),
    Scenario("ini-is-a-device", ini=None, links={"jre64": "{jdk}", "run.ini": "/dev/zero"}, exit_code=255,
             stdout=NO_MAIN_CLASS),
    # --- the class path ---
    Scenario(
        "class-path-of-10000-entries",
        ini=ini("probe.ClassPathProbe", class_path="lib/app.jar;lib/util.jar;"
                + ";".join("/nonexistent/lib%05d.jar" % i for i in range(10000))),
        jars={"lib/app.jar": "app.jar", "lib/util.jar": "util.jar"},
        stdout=None,
        check=class_path_entries(True, lambda c: ["%s/lib/app.jar" % c.dir, "%s/lib/util.jar" % c.dir]
                                 + ["/nonexistent/lib%05d.jar" % i for i in range(10000)], True),
    ),
    Scenario(
        "class-path-wildcard-matching-20000-files",
        ini=ini("probe.ClassPathProbe", class_path="lib/*.jar;many/*.jar"),
        jars={"lib/app.jar": "app.jar", "lib/util.jar": "util.jar"},
        prepare=many_files(20000),
        stdout=None,
        check=class_path_entries(True, lambda c: ["%s/lib/app.jar" % c.dir, "%s/lib/util.jar" % c.dir]
                                 + ["%s/many/m%05d.jar" % (c.dir, i) for i in range(20000)], False),
    ),
    # --- the VM library ---
    Scenario("vm-library-is-a-folder", links={}, files=dict(HOSTILE_LIBRARY, **{LIBJVM + "/inside": b""}),
             exit_code=255, stdout=error_line(LOAD_FAILED)),
    Scenario("vm-library-is-a-text-file", links={}, files=dict(HOSTILE_LIBRARY, **{LIBJVM: b"not a library\n"}),
             exit_code=255, stdout=error_line(LOAD_FAILED)),
    Scenario("vm-library-cut-short", links={},
             files=dict(HOSTILE_LIBRARY, **{LIBJVM: lambda context: context.forwarder.read_bytes()[:4096]}),
             exit_code=255, stdout=error_line(LOAD_FAILED)),
    Scenario("vm-library-of-other-width", links={}, files=dict(HOSTILE_LIBRARY, **{LIBJVM: elf_of_other_class}),
             exit_code=255, stdout=error_line(LOAD_FAILED)),
    # The signal ends the process, as it ends any program: no hang.
    Scenario("vm-crashes-while-it-starts", links={}, files=HOSTILE_LIBRARY, forwarders=[LIBJVM],
             env={"TARN_FORWARDER_CRASH": "1"}, exit_code=-11, stdout=b""),
    # --- the VM parameters ---
    # Of each three quotes one stays (a pair around a doubled closing quote);
    # the last has no partner and stays too.
    Scenario("vm-parameters-with-10000-quotes", ini=ini("probe.Environment", vm="-Dq=%s" % ('"' * 10000)),
             args=["-Dq"], stdout=("-Dq=%s\n" % ('"' * 3334)).encode()),
    Scenario(
        "vm-parameters-percentage-of-10-to-the-30",
        ini=ini(vm="-Xmx1%sp" % ("0" * 30)),
        exit_code=255,
        stdout=error_line("JNI exception: failed to create the Java VM\nReason: invalid arguments.\n"),
        stderr=b"Invalid maximum heap size: -Xmx18446744073709551615K\n",
    ),
    # --- the output files ---
    # Linux keeps trailing dots and spaces: the file has the name as written
    # (the spaces that end the INI value are the INI's).
    Scenario("output-file-with-trailing-dots-and-spaces", ini=ini("probe.Streams", app="Output File=logs. /out.log. \n"),
             args=["x"], stderr=b"err x\n", contents={"logs. /out.log.": b"out x\n"}),
    Scenario("output-file-of-300-characters", ini=ini("probe.Streams", app="Output File=%s\n" % LONG_OUTPUT),
             args=["x"], stderr=b"err x\n", contents={LONG_OUTPUT: b"out x\n"}),
    # A name longer than a file name can be: the VM says so, main still runs.
    Scenario(
        "output-file-name-of-300-characters",
        ini=ini("probe.Streams", app="Output File=%s\n" % ("n" * 300)),
        args=["x"],
        stdout=b"out x\n",
        stderr=None,
        stderr_starts=('Exception in thread "main" java.io.FileNotFoundException: %s (File name too long)\n'
                       % ("n" * 300)).encode(),
    ),
    # --- the environment ---
    Scenario(
        "environment-of-32k-characters",
        ini=ini("probe.Environment"),
        env=dict({"TARN_E2E_FILL%02d" % i: "f" * 800 for i in range(40)}, PATH="/usr/bin:/bin"),
        args=["TARN_E2E_FILL39", "PATH"],
        stdout=("TARN_E2E_FILL39=%s\nPATH=/usr/bin:/bin:{dir}/jre64/bin\n" % ("f" * 800)).encode(),
    ),
    # Linux sets no limit on a value: the whole PATH, between the System Path
    # and the runtime's bin.
    Scenario(
        "path-of-32759-characters-with-a-system-path",
        ini=ini("probe.Environment", jre="System Path=/opt/tools\n"),
        env={"PATH": path_of(32759)},
        args=["PATH"],
        stdout=("PATH=/opt/tools:%s:{dir}/jre64/bin\n" % path_of(32759)).encode(),
    ),
    # --- the launcher's own path ---
    Scenario(
        "launcher-path-beyond-259-characters",
        exe="/".join(["d" * 50] * 5) + "/run",
        jars={"/".join(["d" * 50] * 5) + "/lib/probe.jar": "probe.jar"},
        links={"/".join(["d" * 50] * 5) + "/jre64": "{jdk}"},
        args=["x"],
        stdout=echoed("x"),
    ),
]

# --- Restart Exit Code ---------------------------------------------------------


def one_run(run: int, restarts: int, *arguments: str) -> bytes:
    """What probe.Restarting prints in one run: the runtime's bin folder once
    on the PATH, and no restart mark in the environment."""
    return b"run %d restarts %d bin 1 mark null\n" % (run, restarts) + echoed(*arguments)


def runs_of(count: int, restart_count_of: Callable[[int], int], *arguments: str) -> bytes:
    """What probe.Restarting prints over `count` runs."""
    return b"".join(one_run(run, restart_count_of(run), *arguments) for run in range(1, count + 1))


def stopped_at_the_bound(code: int):
    """Six runs (the first and five restarts), then the message, code `code`."""

    def check(result: Result) -> List[str]:
        expected = runs_of(6, lambda run: run - 1)
        if not result.stdout.startswith(expected):
            return ["expected six runs first, got %r" % result.stdout]
        rest = result.stdout[len(expected):].decode("utf-8", errors="replace")
        line = (r"Error: The application ended with exit code %d, one of Restart Exit Code, after 5 restarts "
                r"within \d+ seconds: it is not started again\. \n" % code)
        return [] if re.fullmatch(line, rest) else ["unexpected message %r" % rest]

    return check


RESTARTING = "probe.Restarting"
SCENARIOS += [
    Scenario(
        "restart-exit-code-once-then-zero",
        ini=ini(RESTARTING, app="Restart Exit Code=9, 7\n"),
        args=["{dir}/runs.txt", "7", "2"] + UNUSUAL_ARGUMENTS,
        stdout=runs_of(2, lambda run: run - 1, *UNUSUAL_ARGUMENTS),
    ),
    Scenario(
        "restart-exit-code-diagnosed",
        ini=ini(RESTARTING, app="Restart Exit Code=7\n"),
        args=["{dir}/runs.txt", "7", "2"],
        env={"TARN_DIAGNOSE": "1"},
        stdout=runs_of(2, lambda run: run - 1),
        stderr=None,
        check=diagnosed(
            [
                "launcher {dir}/run",
                "VM option 4: -Dtarn.restart.count=0",
                "exit code 7: System.exit",
                "restart 1: System.exit(7) is one of Restart Exit Code; starting {dir}/run again",
                "launcher {dir}/run",
                "VM option 4: -Dtarn.restart.count=1",
                "exit code 0: System.exit",
            ]
        ),
    ),
    Scenario(
        "restart-exit-code-always-stops-at-the-bound",
        ini=ini(RESTARTING, app="Restart Exit Code=7\n"),
        args=["{dir}/runs.txt", "7", "1000"],
        exit_code=7,
        stdout=None,
        check=stopped_at_the_bound(7),
    ),
    Scenario(
        "restart-exit-code-other-code-ends",
        ini=ini(RESTARTING, app="Restart Exit Code=7\n"),
        args=["{dir}/runs.txt", "3", "2"],
        exit_code=3,
        stdout=runs_of(1, lambda run: 0),
    ),
    Scenario(
        "restart-exit-code-not-a-code",
        ini=ini(RESTARTING, app="Restart Exit Code=7; seven\n"),
        args=["{dir}/runs.txt", "7", "2"],
        # The message on each start, before its run.
        stdout=b"".join(error_line("Restart Exit Code: 'seven' is not a value of this key and is ignored.")
                        + one_run(run, run - 1) for run in (1, 2)),
    ),
]

# --- Keep Output Files ---------------------------------------------------------

# name -> modification time, which orders them, not the name; the four first
# are the picture's.
OLD_LOGS = {
    "out-20200101-000001.1.log": 1000,
    "out-20200101-000002.22.log": 3500,
    "out-20200101-000003.333.log": 3000,
    "out-20200101-000004.4.log": 4000,
    # Names the picture could not have produced.
    "out-2020.log": 10,
    "out-20200101-000001.1.log.bak": 10,
    "err-20200101-000001.1.log": 10,
    "notes.txt": 10,
}


def lay_out_old_logs(context: Context) -> None:
    logs = context.dir / "logs"
    logs.mkdir()
    for name, seconds in OLD_LOGS.items():
        (logs / name).write_bytes(b"old\n")
        os.utime(logs / name, (seconds, seconds))
    # A folder with a name of the picture is no file.
    (logs / "out-20200101-000000.0.log").mkdir()


def kept_logs(result: Result) -> List[str]:
    logs = result.context.dir / "logs"
    names = sorted(p.name for p in logs.iterdir())
    new = [n for n in names if n not in OLD_LOGS and n != "out-20200101-000000.0.log"]
    expected_old = sorted(set(OLD_LOGS) - {"out-20200101-000001.1.log", "out-20200101-000003.333.log"})
    failures = []
    if len(new) != 1 or not re.fullmatch(r"out-\d{8}-\d{6}\.\d{1,3}\.log", new[0]):
        failures.append("expected one new log, found %r" % new)
    elif (logs / new[0]).read_bytes() != echoed("x"):
        failures.append("the new log holds %r" % (logs / new[0]).read_bytes())
    if sorted(set(names) - set(new) - {"out-20200101-000000.0.log"}) != expected_old:
        failures.append("kept %r, expected %r" % (names, expected_old))
    if not (logs / "out-20200101-000000.0.log").is_dir():
        failures.append("the folder was removed")
    return failures


SCENARIOS += [
    Scenario(
        "keep-output-files-removes-the-oldest",
        ini=ini(app="Output File=logs/out-%yyyyMMdd-HHmmss.L%.log\nKeep Output Files=3\n"),
        args=["x"],
        prepare=lay_out_old_logs,
        check=kept_logs,
    ),
    Scenario(
        "keep-output-files-diagnosed",
        ini=ini(app="Output File=logs/out-%yyyyMMdd-HHmmss.L%.log\nKeep Output Files=3\n"),
        args=["x"],
        env={"TARN_DIAGNOSE": "1"},
        prepare=lay_out_old_logs,
        stderr=None,
        check=lambda result: kept_logs(result) + diagnosed(
            [
                "Keep Output Files: removed logs/out-20200101-000001.1.log",
                "Keep Output Files: removed logs/out-20200101-000003.333.log",
                "exit code 0: main returned",
            ]
        )(result),
    ),
    Scenario(
        "keep-output-files-not-a-count",
        ini=ini(app="Output File=logs/out-%yyyyMMdd-HHmmss.L%.log\nKeep Output Files=many\n"),
        args=["x"],
        prepare=lay_out_old_logs,
        stdout=error_line("Keep Output Files: 'many' is not a value of this key and is ignored."),
        check=lambda result: [] if len(list((result.context.dir / "logs").iterdir())) == len(OLD_LOGS) + 2
        else ["files were removed"],
    ),
]
