"""End-to-end scenarios of the VM hosting: the launcher with the test-double
JVM (tests/testvm) laid out as a Java runtime, run by run_windows.

Each scenario gives the test VM its little Java world (a class
com.example.App whose main method does what the scenario says) and checks,
besides standard output and the exit code, the calls the VM received: which
jvm.dll was loaded, the options, the environment, the main call, the end.
"""

import re
from pathlib import Path
from typing import Dict, List, Optional, Sequence

from scenarios_windows import Like, Result, Scenario, crlf, error_line

# --- building blocks -----------------------------------------------------------

MAIN_SIGNATURE = "([Ljava/lang/String;)V"


def world(*actions: str, extra: str = "") -> str:
    """The VM's scenario: com.example.App with a main method doing `actions`
    (tests/testvm/README.md), then `extra` lines."""
    text = "class com/example/App\nmethod com/example/App main %s\n" % MAIN_SIGNATURE
    for action in actions:
        text += "do com/example/App main %s\n" % action
    return text + extra


def ini(main="com.example.App", class_path: Optional[str] = "\\lib\\*.jar", jre="", app="") -> bytes:
    text = "[Java Runtime Environment]\n"
    if main:
        text += "Main Class=%s\n" % main
    text += "Minimum Version=1.6\n" + jre
    if app:
        text += "[Application]\n" + app
    if class_path is not None:
        text += "[Class Path]\nClass Path=%s\n" % class_path
    return crlf(text)


def ini_in(**kwargs):
    """ini() with "{dir}" in its values standing for the scenario folder."""
    return lambda folder: ini(**kwargs).replace(b"{dir}", folder.encode("utf-8"))


JARS = {"lib\\a.jar": b"PK\x05\x06" + bytes(18), "lib\\b.jar": b"PK\x05\x06" + bytes(18)}


def home(folder: str, kind="client", variant="boot", java_dll=True):
    """A Java home (the scenario folder itself for ""): files and test VMs for
    bin\\java.dll and bin\\<kind>\\jvm.dll."""
    prefix = folder + "\\" if folder else ""
    files = {prefix + "bin\\java.dll": b""} if java_dll else {}
    return files, {prefix + "bin\\%s\\jvm.dll" % kind: variant}


def app(name: str, settings=None, vm_scenario: Optional[str] = None, homes=(("jre64",),), files=None, extra_vms=None,
        **rest):
    """A launcher run.exe with its INI, the jars and the Java homes given as
    arguments of home() (the private runtime jre64 by default), and further
    libraries of the test VM's build (`extra_vms`)."""
    laid_out = dict(JARS)
    vms: Dict[str, str] = dict(extra_vms or {})
    for arguments in homes:
        home_files, home_vms = home(*arguments)
        laid_out.update(home_files)
        vms.update(home_vms)
    laid_out["run.ini"] = settings if settings is not None else ini()
    laid_out.update(files or {})
    return Scenario(
        name=name,
        exe="run.exe",
        files=laid_out,
        vms=vms,
        vm_scenario=world() if vm_scenario is None else vm_scenario,
        **rest
    )


LOAD_PRIVATE = "load {dir}\\jre64\\bin\\client\\jvm.dll"
CLASS_PATH = "option -Djava.class.path={dir}\\lib\\a.jar;{dir}\\lib\\b.jar"
HOOKS = ["option abort extraInfo=set", "option exit extraInfo=set"]
CREATED = "CreateJavaVM -> 0"
MAIN_CALL = 'call com/example/App.main%s (["x"])' % MAIN_SIGNATURE
MAIN_END = ["return com/example/App.main", "DetachCurrentThread main", "DestroyJavaVM", "DestroyJavaVM done"]
NOTHING_LOADED = [Like("load .*")]


def error(text: str) -> bytes:
    return error_line(text)


def load_failed(relative: str, errno: int):
    return lambda folder: error("Failed to load Java VM library: %s\\%s (errno = %d).\n" % (folder, relative, errno))


MISSING_ENTRY = error("Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n")


def creation_failed(reason: str) -> bytes:
    return error("JNI exception: failed to create the Java VM\nReason: %s.\n" % reason)


def log_value(result: Result, prefix: str) -> Optional[str]:
    for line in result.log:
        if line.startswith(prefix):
            return line[len(prefix) :]
    return None


def stack_at_least(size: int):
    """The thread that created the VM reserved at least `size` bytes of stack."""

    def check(result: Result) -> List[str]:
        value = log_value(result, "stack reserved=")
        if value is None:
            return ["the VM logged no stack size"]
        if int(value) < size:
            return ["the creating thread reserved %s bytes of stack, wanted at least %d" % (value, size)]
        return []

    return check


def stack_between(low: int, high: int):
    """The thread that created the VM reserved at least `low` and less than `high` bytes of stack."""

    def check(result: Result) -> List[str]:
        value = log_value(result, "stack reserved=")
        if value is None:
            return ["the VM logged no stack size"]
        if not low <= int(value) < high:
            return ["the creating thread reserved %s bytes of stack, wanted [%d, %d)" % (value, low, high)]
        return []

    return check


def large_address_aware(exe: Path) -> bool:
    data = exe.read_bytes()
    header = int.from_bytes(data[0x3C:0x40], "little")
    characteristics = int.from_bytes(data[header + 22 : header + 24], "little")
    return bool(characteristics & 0x20)


def total_physical_kb(result: Result) -> int:
    """What GlobalMemoryStatus reports as dwTotalPhys, in KB, under Wine: the
    pages of MemTotal less one (Wine counts physical pages from 1), capped
    for a 32-bit process at 2 GB - 1 or, when it is large-address aware,
    4 GB - 1."""
    meminfo = Path("/proc/meminfo").read_text()
    pages = int(re.search(r"^MemTotal:\s+(\d+) kB", meminfo, re.M).group(1)) // 4
    total = (pages - 1) * 4096
    if result.arch == "x86":
        total = min(total, 0xFFFFFFFF if large_address_aware(result.folder / "run.exe") else 0x7FFFFFFF)
    return total >> 10


def percent_options(result: Result) -> List[str]:
    base = total_physical_kb(result)

    def size(percent: float, minimum: int = 0, maximum: int = 0) -> int:
        value = int(base * (percent / 100.0))
        if maximum and value > maximum * 1024:
            value = maximum * 1024
        return max(value, minimum * 1024)

    wanted = ["option -Xmx%dK" % size(25), "option -Xms%dK" % size(1, 1024, 0), "option -Xss%dK" % size(50, 0, 16)]
    options = [line for line in result.log if line.startswith("option -X")]
    failures = []
    if options[:3] != wanted:
        failures.append("percentage options %r, expected %r (total physical memory %d KB)" % (options[:3], wanted, base))
    if len(options) < 4 or not re.fullmatch(r"option -Xmx[1-9][0-9]*K", options[3]):
        failures.append("-Xmx50T should become a K size: %r" % options[3:4])
    # Far above the executable's own default reserve, which an ignored -Xss would give.
    failures += stack_at_least(size(50, 0, 16) * 1024)(result)
    return failures


def same_stamp(first: str, second: str):
    """Two redirected files of one start carry the same stamp."""

    def check(result: Result) -> List[str]:
        stamps = []
        for pattern in (first, second):
            names = [p.name for p in result.folder.rglob("*") if re.fullmatch(pattern, p.name)]
            stamps += [re.fullmatch(pattern, name).group(1) for name in names]
        if len(stamps) != 2 or stamps[0] != stamps[1]:
            return ["the two files should carry one stamp: %r" % stamps]
        return []

    return check


def only_loads(*expected: str):
    """The VM log's load lines are exactly these, in this order."""

    def check(result: Result) -> List[str]:
        loads = [line for line in result.log if line.startswith("load ")]
        wanted = [line.replace("{dir}", result.folder_windows) for line in expected]
        return [] if loads == wanted else ["loaded %r, expected %r" % (loads, wanted)]

    return check


# --- the road of one start ---------------------------------------------------

ROAD = [
    app(
        # C:\...\run.exe x with the runtime in jre64\ and the class path \lib\*.jar.
        "road-of-one-start",
        vm_scenario=world("print out Hello"),
        command_line='"{exe}" x',
        stdout=b"Hello\r\n",
        stderr=b"",
        exit_code=0,
        vm_log=[
            LOAD_PRIVATE,
            "host {dir}\\run.exe",
            "CreateJavaVM version=0x00010002 nOptions=5 ignoreUnrecognized=0",
            CLASS_PATH,
            "option -Dsun.java.command=com.example.App x",
            "option -Dsun.java.launcher=SUN_STANDARD",
            *HOOKS,
            'command line "{dir}\\run.exe" x',
            "env TARN_JVM_PATH={dir}\\jre64\\bin\\client\\jvm.dll",
            "env TARN_JVM_HOME={dir}\\jre64",
            Like(r"env Path=.*;{dir}\\jre64\\bin"),
            CREATED,
            "JVM_FindClassFromBootLoader sun/launcher/LauncherHelper",
            'call sun/launcher/LauncherHelper.checkAndLoadMain(ZILjava/lang/String;)Ljava/lang/Class; '
            '(true, 1, "com.example.App")',
            MAIN_CALL,
            'print out "Hello" -> console',
            *MAIN_END,
        ],
        vm_log_excludes=[Like("warning: .*")],
        check=only_loads(LOAD_PRIVATE),
    ),
    app(
        # Without JVM_FindClassFromBootLoader the main class comes from FindClass.
        "runtime-without-boot-loader-export",
        homes=(("jre64", "client", "plain"),),
        command_line='"{exe}" x',
        exit_code=0,
        stdout=b"",
        vm_log=[LOAD_PRIVATE, CREATED, "FindClass com/example/App", MAIN_CALL, *MAIN_END],
        vm_log_excludes=[Like("JVM_FindClassFromBootLoader.*")],
    ),
    app(
        "boot-loader-without-launcher-helper",
        vm_scenario=world(extra="launcher-helper no\n"),
        command_line='"{exe}" x',
        exit_code=0,
        stdout=b"",
        vm_log=[
            "JVM_FindClassFromBootLoader sun/launcher/LauncherHelper -> not found",
            "FindClass com/example/App",
            MAIN_CALL,
            *MAIN_END,
        ],
    ),
    app(
        # Arguments reach main unchanged: an empty one, one outside the ANSI
        # code page, the Cmd pieces after the command line's.
        "arguments-and-cmd",
        settings=ini(app='Cmd=a  "b c" ""\n'),
        command_line='"{exe}" "" \u00fc\u4e2d',
        exit_code=0,
        vm_log=['call com/example/App.main%s (["", "\u00fc\u4e2d", "a", "b c"])' % MAIN_SIGNATURE, *MAIN_END],
    ),
    app(
        # Embedded Jar puts the launcher first; a relative entry is taken against
        # its folder, an absolute one is kept even when missing, references
        # to the environment are expanded.
        "class-path-entries",
        settings=ini(
            class_path="\\lib\\*.jar;C:\\shared\\util.jar;\\classes;\\missing.jar;%APP_LIBS%\\x.jar",
            app="Embedded Jar=yes\n",
        ),
        files={"classes\\App.class": b"\xca\xfe\xba\xbe"},
        env={"APP_LIBS": "C:\\libs"},
        exit_code=0,
        vm_log=[
            "option -Djava.class.path={dir}\\run.exe;{dir}\\lib\\a.jar;{dir}\\lib\\b.jar;C:\\shared\\util.jar;"
            "{dir}\\classes;C:\\libs\\x.jar",
            *MAIN_END,
        ],
    ),
    app(
        "no-arguments-give-an-empty-array",
        command_line='"{exe}"',
        exit_code=0,
        vm_log=["new java/lang/String[0]", "call com/example/App.main%s ([])" % MAIN_SIGNATURE, *MAIN_END],
    ),
]

# --- where the runtime comes from --------------------------------------------

SOURCES = [
    Scenario(
        # %TARN_APP_DIR% is the launcher's folder wherever the start is made
        # from: in JRE Path, the class path, the VM's options, Cmd and the
        # output files, and in the application's environment.
        name="application-folder-variable",
        exe="app\\run.exe",
        files={
            "app\\run.ini": crlf(
                "[Java Runtime Environment]\nMain Class=com.example.App\nJRE Path=%TARN_APP_DIR%\\rt\n"
                "Virtual Machine Parameters=-Dapp.home=%TARN_APP_DIR%\n"
                "[Application]\nCmd=--home %TARN_APP_DIR%\nOutput File=%TARN_APP_DIR%\\logs\\out.log\n"
                "[Class Path]\nClass Path=%TARN_APP_DIR%\\lib\\*.jar\n"
            ),
            "app\\lib\\a.jar": JARS["lib\\a.jar"],
            "app\\logs\\keep": b"",
            "elsewhere\\keep": b"",
        },
        vms={"app\\rt\\bin\\client\\jvm.dll": "boot"},
        vm_scenario=world("print out from the application folder"),
        cwd="elsewhere",
        command_line='"{exe}" x',
        stdout=b"",
        exit_code=0,
        writes=True,
        contents={"app\\logs\\out.log": b"from the application folder\r\n"},
        vm_log=[
            "load {dir}\\app\\rt\\bin\\client\\jvm.dll",
            "option -Djava.class.path={dir}\\app\\lib\\a.jar",
            "option -Dapp.home={dir}\\app",
            "option -Dsun.java.command=com.example.App x --home {dir}\\app",
            "env TARN_APP_DIR={dir}\\app",
        ],
    ),
    app(
        "jre-path-without-trailing-backslash",
        settings=ini_in(jre="JRE Path={dir}\\jre\n"),
        homes=(("jre",), ("jre64",)),
        exit_code=0,
        vm_log=[
            "load {dir}\\jre\\bin\\client\\jvm.dll",
            "env TARN_JVM_PATH={dir}\\jre\\bin\\client\\jvm.dll",
            "env TARN_JVM_HOME={dir}\\jre",
            *MAIN_END,
        ],
        check=only_loads("load {dir}\\jre\\bin\\client\\jvm.dll"),
    ),
    app(
        "jre-path-with-trailing-backslash",
        settings=ini_in(jre="JRE Path={dir}\\jre\\\n"),
        homes=(("jre",), ("jre64",)),
        exit_code=0,
        vm_log=["env TARN_JVM_PATH={dir}\\jre\\bin\\client\\jvm.dll", *MAIN_END],
        check=only_loads("load {dir}\\jre\\bin\\client\\jvm.dll"),
    ),
    app(
        # A JRE Path needs no bin\java.dll: only the jvm.dll is looked for.
        "jre-path-without-java-dll",
        settings=ini_in(jre="JRE Path={dir}\\jre\n"),
        homes=(("jre", "client", "boot", False), ("jre64",)),
        exit_code=0,
        check=only_loads("load {dir}\\jre\\bin\\client\\jvm.dll"),
    ),
    app(
        # JRE Path holds only a client VM; a server VM is wanted: the private runtime.
        "jre-path-without-vm-of-type-falls-to-private",
        settings=ini_in(jre="JRE Path={dir}\\jre\nJVM Type=server\n"),
        homes=(("jre", "client"), ("jre64", "server")),
        exit_code=0,
        vm_log=["env TARN_JVM_PATH={dir}\\jre64\\bin\\server\\jvm.dll", *MAIN_END],
        check=only_loads("load {dir}\\jre64\\bin\\server\\jvm.dll"),
    ),
    app(
        "jre-path-missing-falls-to-private",
        settings=ini_in(jre="JRE Path={dir}\\nowhere\n"),
        exit_code=0,
        check=only_loads(LOAD_PRIVATE),
    ),
    app(
        # The launcher in the root of a runtime (bin\java.dll beside it) takes it before jre64\.
        "launcher-in-runtime-root",
        homes=(("",), ("jre64",)),
        exit_code=0,
        vm_log=["env TARN_JVM_PATH={dir}\\bin\\client\\jvm.dll", "env TARN_JVM_HOME={dir}", *MAIN_END],
        check=only_loads("load {dir}\\bin\\client\\jvm.dll"),
    ),
]


# JVM Type against homes holding client, server, both or jrockit VMs. The home
# is the JRE Path; when it has no VM of the type, the private runtime's server
# VM is taken.
JVM_TYPES = {"0": "", "1": "JVM Type=server\n", "2": "JVM Type=favor_server\n"}
HOME_KINDS = {"client": ("client",), "server": ("server",), "both": ("client", "server"), "jrockit": ("jrockit",)}
CHOSEN = {
    ("client", "0"): "client", ("client", "1"): None, ("client", "2"): "client",
    ("server", "0"): "server", ("server", "1"): "server", ("server", "2"): "server",
    ("both", "0"): "client", ("both", "1"): "server", ("both", "2"): "server",
    ("jrockit", "0"): "jrockit", ("jrockit", "1"): None, ("jrockit", "2"): "jrockit",
}  # fmt: skip


def jvm_type_scenario(kinds_name: str, jvm_type: str) -> Scenario:
    chosen = CHOSEN[(kinds_name, jvm_type)]
    load = "load {dir}\\jre\\bin\\%s\\jvm.dll" % chosen if chosen else "load {dir}\\jre64\\bin\\server\\jvm.dll"
    homes = tuple(("jre", kind) for kind in HOME_KINDS[kinds_name]) + (("jre64", "server"),)
    return app(
        "jvm-type-%s-home-%s" % (jvm_type, kinds_name),
        settings=ini_in(jre="JRE Path={dir}\\jre\n" + JVM_TYPES[jvm_type]),
        homes=homes,
        exit_code=0,
        check=only_loads(load),
    )


SOURCES += [jvm_type_scenario(kinds, jvm_type) for kinds in HOME_KINDS for jvm_type in JVM_TYPES]

SOURCES += [
    Scenario(
        # No runtime beside the launcher: a bin\client\jvm.dll in the current
        # directory is not a runtime the launcher may load (anyone who can
        # write there would run code in it).
        name="no-runtime-beside-launcher-ignores-current-directory",
        exe="app\\run.exe",
        files={"app\\run.ini": ini(class_path="C:\\none.jar"), "work\\bin\\java.dll": b""},
        vms={"work\\bin\\client\\jvm.dll": "boot"},
        vm_scenario=world(),
        cwd="work",
        # No dialog: its window would wait for the driver of scenarios_dialog.py.
        hidden_desktop=True,
        # What is said about the missing runtime belongs to the dialog's scenarios.
        exit_code=-1,
        vm_log_excludes=NOTHING_LOADED,
    ),
    Scenario(
        # The VM's own dependency, planted beside the launcher and in the
        # current directory, is taken from neither: the runtime's bin folder
        # serves it, as it serves a real jvm.dll's C runtime.
        name="vm-dependency-not-from-planted-copies",
        exe="app\\run.exe",
        files={
            "app\\run.ini": ini(),
            "app\\lib\\a.jar": JARS["lib\\a.jar"],
            "app\\jre64\\bin\\java.dll": b"",
        },
        vms={
            "app\\jre64\\bin\\client\\jvm.dll": "dependent",
            "app\\jre64\\bin\\tarnvmdep.dll": "dependency/tarnvmdep.dll",
            "app\\tarnvmdep.dll": "dependency/tarnvmdep.dll",
            "work\\tarnvmdep.dll": "dependency/tarnvmdep.dll",
        },
        vm_scenario=world(),
        cwd="work",
        vm_log=["dependency {dir}\\app\\jre64\\bin\\tarnvmdep.dll", "load {dir}\\app\\jre64\\bin\\client\\jvm.dll"],
        vm_log_excludes=["dependency {dir}\\app\\tarnvmdep.dll", "dependency {dir}\\work\\tarnvmdep.dll"],
        exit_code=0,
    ),
    Scenario(
        # Installed under a folder whose name the ANSI code page (1252 in the
        # test prefix) cannot carry: the VM gets the short forms of the paths
        # (its library loaded by one, so that it finds its home), and the
        # launcher's own files keep their names.
        name="installed-under-a-folder-outside-the-code-page",
        exe="\u0394\u03bf\u03ba\u03b9\u03bc\u03ae\\run.exe",
        files={
            "\u0394\u03bf\u03ba\u03b9\u03bc\u03ae\\run.ini": ini(jre="Library Path=native\n", app="Output File=out.log\n"),
            "\u0394\u03bf\u03ba\u03b9\u03bc\u03ae\\lib\\a.jar": JARS["lib\\a.jar"],
            "\u0394\u03bf\u03ba\u03b9\u03bc\u03ae\\native\\keep.txt": b"",
            "\u0394\u03bf\u03ba\u03b9\u03bc\u03ae\\jre64\\bin\\java.dll": b"",
        },
        vms={"\u0394\u03bf\u03ba\u03b9\u03bc\u03ae\\jre64\\bin\\client\\jvm.dll": "boot"},
        vm_scenario=world("print out from a Greek folder"),
        cwd="\u0394\u03bf\u03ba\u03b9\u03bc\u03ae",
        vm_log=[
            # Printable ASCII only, with a short name for the folder.
            Like(r"load [ -~]*~[ -~]*\\jre64\\bin\\client\\jvm\.dll"),
            Like(r"option -Djava\.library\.path=native;[ -~]*~[ -~]*"),
            Like(r"option -Djava\.class\.path=[ -~]*~[ -~]*\\lib\\a\.jar"),
            CREATED,
        ],
        contents={"\u0394\u03bf\u03ba\u03b9\u03bc\u03ae\\out.log": b"from a Greek folder\r\n"},
        exit_code=0,
        writes=True,
    ),
    Scenario(
        # Where no one sees a window (a window station of its own, as a
        # service's), the dialog's text is printed with the address its link opens.
        name="no-runtime-prints-the-download-address",
        hidden_desktop=True,
        exe="run.exe",
        files={"run.ini": ini(jre="Maximum Version=1.8\n")},
        stdout=error("The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
                     "(version between 1.6 and 1.8) from: https://adoptium.net/marketplace/"),
        exit_code=-1,
    ),
]

# --- loading the library and creating the VM: the messages ---------------

REASONS = {-1: "unknown", -2: "thread detached from VM", -3: "JNI version error", -4: "not enough memory",
           -5: "VM already created", -6: "invalid arguments", -7: "", 1: ""}  # fmt: skip

MESSAGES = [
    app(
        "vm-library-not-an-image",
        homes=(),
        files={"jre64\\bin\\java.dll": b"", "jre64\\bin\\client\\jvm.dll": b"not a library\r\n"},
        stdout=load_failed("jre64\\bin\\client\\jvm.dll", 193),
        exit_code=-1,
    ),
    app(
        # The other width's VM: a 32-bit jvm.dll for tarn.exe without Pair
        # Product, a 64-bit one for tarn32.exe.
        "vm-library-of-other-width",
        homes=(("jre64", "client", "other:boot"),),
        stdout=load_failed("jre64\\bin\\client\\jvm.dll", 193),
        exit_code=-1,
        vm_log_excludes=NOTHING_LOADED,
    ),
    app(
        "vm-library-without-create-entry",
        homes=(("jre64", "client", "no-create"),),
        stdout=MISSING_ENTRY,
        exit_code=-1,
        vm_log=[LOAD_PRIVATE],
    ),
    app(
        "vm-library-without-default-args-entry",
        homes=(("jre64", "client", "no-defaults"),),
        stdout=MISSING_ENTRY,
        exit_code=-1,
        vm_log=[LOAD_PRIVATE],
    ),
] + [
    app(
        "vm-creation-fails-%d" % code,
        vm_scenario=world(extra="create-result %d\n" % code),
        stdout=creation_failed(reason),
        exit_code=-1,
        vm_log=["CreateJavaVM -> %d" % code],
        vm_log_excludes=[Like("FindClass .*"), Like("DestroyJavaVM.*")],
    )
    for code, reason in REASONS.items()
] + [
    app(
        # The options go to the VM with ignoreUnrecognized false: an option it
        # does not know fails the creation (HotSpot: JNI_ERR).
        "vm-rejects-unknown-option",
        settings=ini(jre="Virtual Machine Parameters=-Xmx64m -bogus\n"),
        vm_scenario=world(extra="reject-unknown-options\n"),
        stdout=creation_failed("unknown"),
        stderr=b"Unrecognized option: -bogus\n",
        exit_code=-1,
        vm_log=["option -Xmx64m", "option -bogus", "CreateJavaVM -> -1"],
    ),
    app(
        # No class path: message 209, and the start ends before the VM, which
        # would otherwise look for classes in the current directory.
        "no-class-path-stops-before-the-vm",
        settings=ini(class_path=None, app="Output File=out.log\nCmd=extra\n"),
        vm_scenario=world("print out Hello"),
        command_line='"{exe}" x',
        stdout=error("Java Class Path was not specified in INI file."),
        exit_code=-1,
        vm_log=[LOAD_PRIVATE],
        vm_log_excludes=[Like("CreateJavaVM.*")],
        absent=["out.log"],
    ),
    app(
        # The entries that matched nothing are named.
        "class-path-matching-nothing-names-its-entries",
        settings=ini(class_path="\\nowhere\\*.jar;;\\lib\\missing.jar"),
        stdout=error("Java Class Path entries matched no file: \\nowhere\\*.jar;\\lib\\missing.jar. "
                     "The Java VM is not started."),
        exit_code=-1,
        vm_log_excludes=[Like("CreateJavaVM.*")],
    ),
    app(
        # A variable whose value ends in the separator, a common shape for
        # such variables, gives no empty element (the current directory).
        "class-path-value-ending-in-the-separator",
        settings=ini(class_path="%TARN_E2E_CP%;\\lib\\*.jar"),
        env={"TARN_E2E_CP": lambda folder: folder + "\\shared.jar;"},
        vm_log=["option -Djava.class.path={dir}\\shared.jar;{dir}\\lib\\a.jar;{dir}\\lib\\b.jar", CREATED],
        exit_code=0,
    ),
    app(
        "main-class-not-found",
        settings=ini(main="com.example.Missing"),
        homes=(("jre64", "client", "plain"),),
        stdout=error("Could not find the main class com/example/Missing.\n"),
        stderr=b'Exception in thread "main" java.lang.NoClassDefFoundError: com/example/Missing\r\n'
        b"Caused by: java.lang.ClassNotFoundException: com.example.Missing\r\n",
        exit_code=-1,
        vm_log=["FindClass com/example/Missing -> not found", "ExceptionDescribe java/lang/NoClassDefFoundError"],
        vm_log_excludes=[Like("call com/example/.*")],
    ),
    # The splash image through the runtime's splash-screen library (the test
    # double logs the calls): shown before the VM is created, with the name
    # that SplashScreen.getImageURL() gives; without the image or the library
    # the application starts all the same.
    app(
        "splash-image-shown-through-the-runtime-library",
        settings=ini(jre="Splash Image=\\images\\splash.png\n"),
        files={"images\\splash.png": b"\x89PNG"},
        extra_vms={"jre64\\bin\\splashscreen.dll": "splash/splashscreen.dll"},
        vm_log=["SplashInit", "SplashLoadFile {dir}\\images\\splash.png -> 1",
                "SplashSetFileJarName {dir}\\images\\splash.png null", CREATED],
        exit_code=0,
    ),
    app(
        "splash-image-missing-starts-without",
        settings=ini(jre="Splash Image=%APPDIR%\\missing.png\n"),
        env={"APPDIR": lambda folder: folder},
        extra_vms={"jre64\\bin\\splashscreen.dll": "splash/splashscreen.dll"},
        vm_log=["SplashLoadFile {dir}\\missing.png -> 0", CREATED],
        vm_log_excludes=[Like("SplashSetFileJarName.*")],
        exit_code=0,
    ),
    app(
        # A runtime without the library (a headless one).
        "splash-image-without-the-library",
        settings=ini(jre="Splash Image=splash.png\n"),
        files={"splash.png": b"\x89PNG"},
        vm_log=[CREATED],
        exit_code=0,
    ),
    app(
        # A JDK's LauncherHelper reports a missing class itself and exits with 1.
        "main-class-not-found-through-launcher-helper",
        settings=ini(main="com.example.Missing"),
        stdout=b"",
        stderr=b"Error: Could not find or load main class com.example.Missing\r\n"
        b"Caused by: java.lang.ClassNotFoundException: com.example.Missing\r\n",
        exit_code=1,
    ),
    app(
        "main-method-missing",
        vm_scenario="class com/example/App\nlookup-throws no\n",
        homes=(("jre64", "client", "plain"),),
        stdout=error("No main method found in specified class.\n"),
        stderr=b"",
        exit_code=-1,
    ),
    app(
        # A real VM's GetStaticMethodID throws NoSuchMethodError: it is described, no message.
        "main-method-missing-with-exception",
        vm_scenario="class com/example/App\n",
        homes=(("jre64", "client", "plain"),),
        stdout=b"",
        stderr=b'Exception in thread "main" java.lang.NoSuchMethodError: main\r\n',
        exit_code=-1,
    ),
    app(
        "main-class-name-not-made-a-string",
        vm_scenario=world(extra="fail-string com/example/App\n"),
        homes=(("jre64", "client", "plain"),),
        stdout=error("Failed to load Main Class: com/example/App.\n"),
        exit_code=-1,
        vm_log_excludes=[Like("call com/example/.*")],
    ),
    app(
        "argument-array-not-built",
        vm_scenario=world(extra="fail-string y\n"),
        command_line='"{exe}" x y',
        stdout=b"",
        stderr=b'Exception in thread "main" java.lang.OutOfMemoryError: Java heap space\r\n',
        exit_code=-1,
        vm_log_excludes=[Like("call com/example/.*")],
    ),
]

# --- how the process ends -------------------------------------------------

ENDINGS = [
    app(
        "system-exit-3",
        vm_scenario=world("print out before", "exit 3", "print out after"),
        stdout=b"before\r\n",
        exit_code=3,
        vm_log=["System.exit 3", "exit hook returned"],
        vm_log_excludes=[Like("DetachCurrentThread.*"), Like("DestroyJavaVM.*")],
    ),
    app(
        "system-exit-minus-2",
        vm_scenario=world("exit -2"),
        exit_code=-2,
    ),
    app(
        # An exception out of main stays pending; the VM reports it when the
        # thread detaches, and the launcher ends with 1, as the JDK's own does.
        "exception-from-main-exits-1",
        vm_scenario=world("throw java/lang/IllegalStateException boom"),
        stdout=b"",
        stderr=b'Exception in thread "main" java.lang.IllegalStateException: boom\r\n'
        b"\tat com.example.App.main(Unknown Source)\r\n",
        exit_code=1,
        vm_log=[
            "return com/example/App.main, java/lang/IllegalStateException pending",
            "DetachCurrentThread main, uncaught java/lang/IllegalStateException",
            "DestroyJavaVM done",
        ],
        vm_log_excludes=[Like("ExceptionDescribe.*"), Like("ExceptionClear.*")],
    ),
    app(
        # With Failure Check, where no window can be shown: the run goes on as
        # without the setting. (Wine starts the launcher in the visible window
        # station all the same, so it is the missing display that keeps the
        # window away here; a service is asked nothing at all, see
        # scenarios_service.py. The dialog itself: scenarios_dialog.py.)
        "exception-from-main-with-failure-check-unseen",
        settings=ini(app="Failure Check=Yes\n"),
        vm_scenario=world("throw java/lang/IllegalStateException boom"),
        hidden_desktop=True,
        stdout=b"",
        stderr=b'Exception in thread "main" java.lang.IllegalStateException: boom\r\n'
        b"\tat com.example.App.main(Unknown Source)\r\n",
        exit_code=1,
        vm_log=["DetachCurrentThread main, uncaught java/lang/IllegalStateException"],
        vm_log_excludes=[Like("System.exit.*")],
    ),
    app(
        # main returns while a non-daemon thread runs on: the process waits for it.
        "non-daemon-thread-keeps-process-alive",
        vm_scenario=world("thread 200 tick", "print out main done"),
        stdout=b"main done\r\ntick\r\n",
        exit_code=0,
        vm_log=[
            "Thread-0 started, runs 200 ms",
            "return com/example/App.main",
            "DetachCurrentThread main",
            "DestroyJavaVM",
            "DestroyJavaVM waits for Thread-0",
            "Thread-0 ended",
            "DestroyJavaVM done",
        ],
    ),
]

# --- environment, options, memory, stack ---------------------------------

BASE_PATH = "C:\\windows\\system32;C:\\windows"

ENVIRONMENT = [
    app(
        "environment-seen-by-vm",
        settings=ini(jre="System Path=C:\\tools\n"),
        env={"Path": BASE_PATH, "TARN_JVM_HOME": "C:\\stale"},
        exit_code=0,
        vm_log=[
            "env TARN_JVM_PATH={dir}\\jre64\\bin\\client\\jvm.dll",
            "env TARN_JVM_HOME={dir}\\jre64",
            "env Path=C:\\tools;" + BASE_PATH + ";{dir}\\jre64\\bin",
        ],
    ),
    app(
        "library-path-option-comes-first",
        settings=ini(jre="Library Path=C:\\libs\nVirtual Machine Parameters=-Xmx64m\n"),
        env={"Path": BASE_PATH},
        exit_code=0,
        vm_log=[
            "CreateJavaVM version=0x00010002 nOptions=7 ignoreUnrecognized=0",
            "option -Djava.library.path=C:\\libs;{dir}\\;.;" + BASE_PATH + ";{dir}\\jre64\\lib",
            CLASS_PATH,
            "option -Xmx64m",
            *HOOKS,
            "env Path=" + BASE_PATH + ";{dir}\\jre64\\bin",
        ],
    ),
    app(
        "vm-parameters-quoted-and-stack",
        settings=ini(jre='Virtual Machine Parameters=  -Xms64m   "-Dpath=C:\\a b" -Xss16m -Xss4m  \n'),
        exit_code=0,
        vm_log=[
            "CreateJavaVM version=0x00010002 nOptions=9 ignoreUnrecognized=0",
            CLASS_PATH,
            "option -Xms64m",
            "option -Dpath=C:\\a b",
            "option -Xss16m",
            "option -Xss4m",
            *HOOKS,
        ],
        # The last -Xss decides, not the largest.
        check=stack_between(4 * 1024 * 1024, 16 * 1024 * 1024),
    ),
    app(
        "memory-percentages",
        settings=ini(jre="Virtual Machine Parameters=-Xmx25p -Xms1:1024:0p -Xss50:0:16P -Xmx50T\n"),
        exit_code=0,
        check=percent_options,
    ),
    app(
        "default-stack-size-from-vm",
        vm_scenario=world(extra="default-stack-size 4194304\n"),
        exit_code=0,
        vm_log=["GetDefaultJavaVMInitArgs version=0x00010001 javaStackSize=4194304 -> -1"],
        check=stack_at_least(4194304),
    ),
]

# --- output redirection ------------------------------------------------------

STAMP = r"(\d{8}-\d{6}\.\d{1,3})"

REDIRECTION = [
    app(
        "redirect-output-and-error-with-stamps",
        settings=ini_in(
            app="Output File={dir}\\logs\\out-%yyyyMMdd-HHmmss.L%.log\nError File=logs\\err-%yyyyMMdd-HHmmss.L%.log\n"
        ),
        vm_scenario=world("print out to out", "print err to err"),
        stdout=b"",
        stderr=b"",
        exit_code=0,
        writes=True,
        contents_like={r"logs\\out-" + STAMP + r"\.log": b"to out\r\n", r"logs\\err-" + STAMP + r"\.log": b"to err\r\n"},
        check=same_stamp(r"out-" + STAMP + r"\.log", r"err-" + STAMP + r"\.log"),
    ),
    app(
        # "yes" appends; "Yes" (any other value) truncates.
        "redirect-append-and-truncate",
        settings=ini(app="Output File=out.log\nOutput Append=yes\nError File=err.log\nError Append=Yes\n"),
        vm_scenario=world("print out new out", "print err new err"),
        files={"out.log": b"old out\r\n", "err.log": b"old err\r\n"},
        stdout=b"",
        exit_code=0,
        writes=True,
        contents={"out.log": b"old out\r\nnew out\r\n", "err.log": b"new err\r\n"},
    ),
    app(
        # An undefined reference is no stamp picture: nothing is made in the
        # current directory (the start writes nothing), the output stays on
        # the console and the message says why.
        "redirect-undefined-reference-is-no-stamp",
        settings=ini(app="Output File=%TARN_E2E_LOGDIR%\\out.log\n"),
        env={"TARN_E2E_LOGDIR": None},
        vm_scenario=world("print out to console"),
        stdout=error("Output File names an environment variable that is not defined: %TARN_E2E_LOGDIR%\\out.log. "
                     "That output stays on the console.") + b"to console\r\n",
        exit_code=0,
    ),
    app(
        "redirect-creates-folders",
        settings=ini_in(app="Output File={dir}\\a\\b\\c\\out.log\n"),
        vm_scenario=world("print out deep"),
        exit_code=0,
        writes=True,
        contents={"a\\b\\c\\out.log": b"deep\r\n"},
    ),
    app(
        # The output file cannot be opened: the VM describes the exception, the
        # error file is still redirected and main still runs.
        "redirect-output-refused",
        settings=ini_in(app="Output File={dir}\\out.log\nError File={dir}\\err.log\n"),
        vm_scenario=world("print out to console", "print err to file", extra="fail-open *\\out.log\n"),
        stdout=b"to console\r\n",
        stderr=lambda folder: (
            'Exception in thread "main" java.io.FileNotFoundException: %s\\out.log (Access is denied)\r\n'
            "\tat java.io.FileOutputStream.open0(Native Method)\r\n" % folder
        ).encode("utf-8"),
        exit_code=0,
        writes=True,
        contents={"err.log": b"to file\r\n"},
        absent=["out.log"],
        vm_log=[
            'new FileOutputStream "{dir}\\out.log" truncate -> refused',
            "ExceptionDescribe java/io/FileNotFoundException",
            'new FileOutputStream "{dir}\\err.log" truncate -> opened',
            'call java/lang/System.setErr(Ljava/io/PrintStream;)V (PrintStream "{dir}\\err.log")',
            "call com/example/App.main%s ([])" % MAIN_SIGNATURE,
        ],
    ),
    app(
        # A real failure: a file stands where the folder should be.
        "redirect-output-into-a-file-as-folder",
        settings=ini_in(app="Output File={dir}\\blocker\\out.log\nError File={dir}\\err.log\n"),
        vm_scenario=world("print out to console", "print err to file"),
        files={"blocker": b"a file\r\n"},
        stdout=b"to console\r\n",
        stderr=lambda folder: (
            'Exception in thread "main" java.io.FileNotFoundException: %s\\blocker\\out.log '
            "(The system cannot find the path specified)\r\n"
            "\tat java.io.FileOutputStream.open0(Native Method)\r\n" % folder
        ).encode("utf-8"),
        exit_code=0,
        writes=True,
        contents={"err.log": b"to file\r\n", "blocker": b"a file\r\n"},
    ),
    Scenario(
        # Override WorkingDir: a relative output file lands beside the launcher,
        # wherever it was started from.
        name="working-directory-for-relative-output",
        exe="app\\run.exe",
        files={
            "app\\run.ini": ini(app="Override WorkingDir=Yes\nOutput File=out.log\n"),
            "app\\jre64\\bin\\java.dll": b"",
            "app\\lib\\a.jar": b"PK",
            "elsewhere\\keep.txt": b"",
        },
        vms={"app\\jre64\\bin\\client\\jvm.dll": "boot"},
        vm_scenario=world("print out here"),
        cwd="elsewhere",
        exit_code=0,
        writes=True,
        contents={"app\\out.log": b"here\r\n"},
        absent=["elsewhere\\out.log"],
    ),
]

# --- the sibling launcher ------------------------------------------------

def sibling_scenario(name: str, return_code: bool, actions: Sequence[str], exit_code: int, **rest) -> Scenario:
    settings = ini_in(
        jre="JRE Path={dir}\\jre32\n",
        app="Pair Product={dir}\\run32.exe\n" + ("Pair Return Code=Yes\n" if return_code else ""),
    )
    sibling_settings = ini_in(jre="JRE Path={dir}\\jre32\n")
    return Scenario(
        name=name,
        exe="run.exe",
        sibling="run32.exe",
        files=dict(JARS, **{"run.ini": settings, "run32.ini": sibling_settings, "jre32\\bin\\java.dll": b""}),
        vms={"jre32\\bin\\client\\jvm.dll": "other:boot"},
        vm_scenario=world(*actions),
        command_line='"{exe}" x "y z"',
        exit_code=exit_code,
        arches=("x64",),
        vm_log=[
            "load {dir}\\jre32\\bin\\client\\jvm.dll",
            "host {dir}\\run32.exe",
            'command line "{dir}\\run.exe" x "y z"',
            'call com/example/App.main%s (["x", "y z"])' % MAIN_SIGNATURE,
        ],
        check=only_loads("load {dir}\\jre32\\bin\\client\\jvm.dll"),
        **rest
    )


SIBLING = [
    # Pair Return Code off: the launcher ends with 0 at once, whatever the sibling does.
    sibling_scenario("sibling-relaunch", False, ["exit 7"], 0, wait_for_log="exit hook returned"),
    sibling_scenario(
        "sibling-relaunch-returns-its-code", True, ["print out from the sibling", "exit 7"], 7,
        stdout=b"from the sibling\r\n",
    ),
    sibling_scenario("sibling-relaunch-returns-0", True, [], 0, wait_for_log="DestroyJavaVM done"),
    Scenario(
        # The 32-bit launcher with Pair Product set loads a 32-bit VM itself:
        # handing it on would bring the start straight back.
        name="sibling-pair-product-on-32-bit-launcher",
        exe="run.exe",
        files=dict(
            JARS, **{"run.ini": ini_in(jre="JRE Path={dir}\\jre32\n", app="Pair Product={dir}\\run64.exe\n")}
        ),
        vms={"jre32\\bin\\client\\jvm.dll": "boot"},
        vm_scenario=world("print out ran"),
        stdout=b"ran\r\n",
        exit_code=0,
        arches=("x86",),
        check=only_loads("load {dir}\\jre32\\bin\\client\\jvm.dll"),
    ),
]


# --- Class Data Sharing=auto: the options for each runtime --------------------

CDS_FOLDER = r"{dir}\\local\\run\\class-data\\[0-9a-f]{8}-[0-9a-f]{16}"


def class_data(name: str, release: Optional[bytes], vm: str = "", **rest):
    """Class Data Sharing=auto with the private runtime's release file (none
    for None), LOCALAPPDATA in the scenario folder."""
    jre = "Class Data Sharing=auto\n" + ("Virtual Machine Parameters=%s\n" % vm if vm else "")
    files = {"jre64\\release": release} if release is not None else {}
    return app(name, settings=ini(jre=jre), files=files, env={"LOCALAPPDATA": lambda folder: folder + "\\local"},
               command_line='"{exe}" x', exit_code=0, stdout=b"", writes=True, **rest)


# None of the launcher's: the application's own archive options may be there.
NO_CLASS_DATA_OPTIONS = [Like(r"option -Xlog:.*"), Like(r"option -XX:\+.*"), Like(r"option .*\\local\\run\\class-data\\.*")]

CLASS_DATA = [
    class_data("class-data-17-writes-at-exit", b'IMPLEMENTOR="Vendor"\r\nJAVA_VERSION="17.0.9"\r\n',
               vm_log=[Like(r"CreateJavaVM version=0x00010002 nOptions=7 .*"),
                       "option -Xlog:cds*=off", Like(r"option -XX:ArchiveClassesAtExit=" + CDS_FOLDER + r"\.\d+\.tmp"),
                       CLASS_PATH, MAIN_CALL, *MAIN_END]),
    class_data("class-data-13-writes-at-exit", b'JAVA_VERSION="13"\n',
               vm_log=["option -Xlog:cds*=off", Like(r"option -XX:ArchiveClassesAtExit=" + CDS_FOLDER + r"\.\d+\.tmp"),
                       CLASS_PATH]),
    class_data("class-data-21-vm-keeps-it", b'JAVA_VERSION="21.0.2"\r\nJVM_VARIANT="Hotspot"\r\n',
               vm_log=["option -Xlog:cds*=off", "option -XX:+VerifySharedSpaces", "option -XX:+AutoCreateSharedArchive",
                       Like(r"option -XX:SharedArchiveFile=" + CDS_FOLDER + r"\.jsa"), CLASS_PATH, MAIN_CALL]),
    class_data("class-data-25-aot-tags-too", b'JAVA_VERSION="25"\n',
               vm_log=["option -Xlog:cds*=off,aot*=off", "option -XX:+VerifySharedSpaces",
                       "option -XX:+AutoCreateSharedArchive", Like(r"option -XX:SharedArchiveFile=" + CDS_FOLDER + r"\.jsa")]),
    # The application's own option comes after the launcher's -Xlog one and
    # still holds.
    class_data("class-data-own-xlog-after", b'JAVA_VERSION="17"\n', vm="-Xlog:cds=info:file=cds.log",
               vm_log=["option -Xlog:cds*=off", Like(r"option -XX:ArchiveClassesAtExit=.*"), CLASS_PATH,
                       "option -Xlog:cds=info:file=cds.log"]),
]

# Nothing added: an old, unknown or other VM, or the application's own
# archive options.
CLASS_DATA += [
    class_data("class-data-none-" + name, release, vm=vm,
               vm_log=[CLASS_PATH] + (["option " + vm] if vm else []) + [MAIN_CALL, *MAIN_END],
               vm_log_excludes=NO_CLASS_DATA_OPTIONS)
    for name, release, vm in [
        ("for-12", b'JAVA_VERSION="12.0.2"\n', ""),
        ("for-8", b'JAVA_VERSION="1.8.0_392"\n', ""),
        ("without-release-file", None, ""),
        ("without-version", b'IMPLEMENTOR="Vendor"\n', ""),
        ("for-openj9", b'JAVA_VERSION="17.0.9"\nJVM_VARIANT="Openj9"\n', ""),
        ("with-own-archive", b'JAVA_VERSION="21"\n', "-XX:SharedArchiveFile=C:\\app.jsa"),
        ("with-share-off", b'JAVA_VERSION="17"\n', "-Xshare:off"),
        ("with-own-dump", b'JAVA_VERSION="17"\n', "-XX:ArchiveClassesAtExit=C:\\app.jsa"),
    ]
]

# --- an executable JAR and the per-user VM options ------------------------------


def jar_ini(jar="app.jar", vm="", extra="") -> bytes:
    return crlf("[Product Information]\nProduct Name=Tool\nProduct Code={C0DE}\n"
                "[Java Runtime Environment]\nMain Jar=%s\nMinimum Version=1.6\n%s%s" % (jar, vm, extra))


USER_FILE = "appdata\\Tool\\{C0DE}\\run.ini"
APPDATA = {"APPDATA": lambda folder: folder + "\\appdata"}
JAR_OPENED = ['new JarFile "{dir}\\app.jar"', 'JarFile.close "{dir}\\app.jar"']

MAIN_JAR = [
    # The JAR alone is the class path, sun.java.command names it, and
    # LauncherHelper gets it in its JAR mode after the runtime's JarFile read
    # the manifest.
    app(
        "main-jar-handed-to-the-helper-in-jar-mode",
        settings=jar_ini(),
        files={"app.jar": b"PK"},
        vm_scenario=world("print out Hello", extra="jar-manifest com.example.App\n"),
        command_line='"{exe}" x',
        stdout=b"Hello\r\n",
        exit_code=0,
        vm_log=[
            "option -Djava.class.path={dir}\\app.jar",
            "option -Dsun.java.command={dir}\\app.jar x",
            *JAR_OPENED,
            'call sun/launcher/LauncherHelper.checkAndLoadMain(ZILjava/lang/String;)Ljava/lang/Class; '
            '(true, 2, "{dir}\\app.jar")',
            MAIN_CALL,
            *MAIN_END,
        ],
    ),
    # Main Class wins: the JAR is the first class path entry, then [Class Path].
    app(
        "main-jar-with-main-class-and-class-path",
        settings=jar_ini(jar="\\app.jar", extra="Main Class=com.example.App\n[Class Path]\nClass Path=\\lib\\*.jar\n"),
        files={"app.jar": b"PK"},
        command_line='"{exe}" x',
        exit_code=0,
        vm_log=[
            "option -Djava.class.path={dir}\\app.jar;{dir}\\lib\\a.jar;{dir}\\lib\\b.jar",
            "option -Dsun.java.command=com.example.App x",
            'call sun/launcher/LauncherHelper.checkAndLoadMain(ZILjava/lang/String;)Ljava/lang/Class; '
            '(true, 1, "com.example.App")',
            MAIN_CALL,
        ],
        vm_log_excludes=[Like("new JarFile .*")],
    ),
    app("main-jar-missing", settings=jar_ini(jar="%TARN_E2E_NOWHERE%\\app.jar"), env={"TARN_E2E_NOWHERE": "gone"},
        exit_code=-1, vm_log_excludes=NOTHING_LOADED,
        stdout=lambda folder: error("Main Jar names no file: %s\\gone\\app.jar. The Java VM is not started." % folder)),
    app("main-jar-without-manifest", settings=jar_ini(), files={"app.jar": b"PK"},
        vm_scenario=world(extra="jar-manifest no-manifest\n"), exit_code=-1,
        stdout=lambda folder: error("The main JAR %s\\app.jar has no manifest.\n" % folder),
        vm_log=JAR_OPENED, vm_log_excludes=[Like("call .*checkAndLoadMain.*")]),
    app("main-jar-without-main-class", settings=jar_ini(), files={"app.jar": b"PK"},
        vm_scenario=world(extra="jar-manifest no-main-class\n"), exit_code=-1,
        stdout=lambda folder: error("The manifest of the main JAR %s\\app.jar names no Main-Class.\n" % folder),
        vm_log_excludes=[Like("call .*checkAndLoadMain.*")]),
    app("main-jar-damaged", settings=jar_ini(), files={"app.jar": b"PK"}, exit_code=-1,
        stdout=lambda folder: error("The main JAR %s\\app.jar cannot be read as a JAR: "
                                    "java.util.zip.ZipException: zip END header not found.\n" % folder),
        vm_log_excludes=[Like("call .*checkAndLoadMain.*")]),
    # The per-user parameters follow the configured ones; the agent is refused.
    app(
        "user-vm-parameters-follow-and-code-is-refused",
        settings=jar_ini(vm="Virtual Machine Parameters=-Xmx1g\nUser VM Parameters=yes\n"),
        files={"app.jar": b"PK", USER_FILE: crlf("[Java Runtime Environment]\n"
                                                 "Virtual Machine Parameters=-Xmx2g -javaagent:evil.jar -Dx=1\n")},
        vm_scenario=world(extra="jar-manifest com.example.App\n"),
        env=APPDATA,
        exit_code=0,
        stdout=lambda folder: error("-javaagent:evil.jar in the per-user file %s\\appdata\\Tool\\{C0DE}\\run.ini "
                                    "chooses the code that runs: it is not given to the Java VM." % folder),
        vm_log=["option -Djava.class.path={dir}\\app.jar", "option -Xmx1g", "option -Xmx2g", "option -Dx=1",
                "option -Dsun.java.command={dir}\\app.jar", MAIN_CALL.replace('["x"]', "[]")],
        vm_log_excludes=[Like("option -javaagent.*")],
    ),
    # Without the key the per-user file gives no options.
    app(
        "user-vm-parameters-off-by-default",
        settings=jar_ini(vm="Virtual Machine Parameters=-Xmx1g\n"),
        files={"app.jar": b"PK", USER_FILE: crlf("[Java Runtime Environment]\nVirtual Machine Parameters=-Xmx2g\n")},
        vm_scenario=world(extra="jar-manifest com.example.App\n"),
        env=APPDATA,
        exit_code=0,
        vm_log=["option -Xmx1g"],
        vm_log_excludes=["option -Xmx2g"],
    ),
]

# --- a main module ------------------------------------------------------------


def module_ini(main_module: str, module_path: str, vm="", class_path: Optional[str] = None) -> bytes:
    """ini() without Main Class, with Main Module and Module Path."""
    jre = "Main Module=%s\nModule Path=%s\n" % (main_module, module_path)
    if vm:
        jre += "Virtual Machine Parameters=%s\n" % vm
    return ini(main="", class_path=class_path, jre=jre)


MODULE_JAR = {"mods\\app.jar": b"PK\x05\x06" + bytes(18)}
MODULE_CALL = ('call sun/launcher/LauncherHelper.checkAndLoadMain(ZILjava/lang/String;)Ljava/lang/Class; '
               '(true, 3, "%s")')

MODULES = [
    app(
        # As java --module-path ... --add-modules ... --module app/com.example.App x:
        # an empty class path, the module path with a relative entry and a
        # variable, the module resolved first, LauncherHelper's module mode.
        "main-module-options-and-route",
        settings=module_ini("app/com.example.App", "\\mods;%TARN_E2E_FX%\\lib", vm="--add-modules=javafx.controls"),
        env={"TARN_E2E_FX": lambda folder: folder + "\\fx"},
        files=MODULE_JAR,
        vm_scenario=world("print out in module", extra="reject-unknown-options\n"),
        command_line='"{exe}" x',
        stdout=b"in module\r\n",
        exit_code=0,
        vm_log=[
            "CreateJavaVM version=0x00010002 nOptions=8 ignoreUnrecognized=0",
            "option -Djava.class.path=",
            "option --module-path={dir}\\mods;{dir}\\fx\\lib",
            "option -Djdk.module.main=app",
            "option --add-modules=javafx.controls",
            "option -Dsun.java.command=app/com.example.App x",
            "option -Dsun.java.launcher=SUN_STANDARD",
            *HOOKS,
            CREATED,
            MODULE_CALL % "app/com.example.App",
            MAIN_CALL,
            *MAIN_END,
        ],
        vm_log_excludes=[Like("FindClass com/example/.*")],
    ),
    app(
        # The module's descriptor names the main class; a class path is given too.
        "main-module-class-from-descriptor",
        settings=module_ini("app", "\\mods", class_path="\\lib\\*.jar"),
        files=MODULE_JAR,
        vm_scenario=world(extra="module-main app com.example.App\n"),
        command_line='"{exe}" x',
        stdout=b"",
        exit_code=0,
        vm_log=[
            CLASS_PATH,
            "option --module-path={dir}\\mods",
            "option -Djdk.module.main=app",
            "option -Dsun.java.command=app x",
            CREATED,
            MODULE_CALL % "app",
            MAIN_CALL,
            *MAIN_END,
        ],
    ),
    app(
        # LauncherHelper reports it and exits with 1, as under java.
        "main-module-without-main-class",
        settings=module_ini("app", "\\mods"),
        files=MODULE_JAR,
        stdout=b"",
        stderr=b"module app does not have a ModuleMainClass attribute, use -m <module>/<main-class>\r\n",
        exit_code=1,
        vm_log=[MODULE_CALL % "app"],
    ),
    app(
        # Only LauncherHelper knows modules: no FindClass in its place.
        "main-module-on-runtime-without-launcher-helper",
        settings=module_ini("app/com.example.App", "\\mods"),
        files=MODULE_JAR,
        homes=(("jre64", "client", "plain"),),
        stdout=error("Could not start the main module app/com.example.App: this Java runtime has no launcher "
                     "support for modules.\n"),
        exit_code=-1,
        vm_log=[CREATED, "DetachCurrentThread main"],
        vm_log_excludes=[Like("FindClass com/example/.*"), Like("call com/example/.*")],
    ),
]


# --- Restart Exit Code -----------------------------------------------------------

RESTART_ARGUMENTS = '"{exe}" "" "a b" \u00fc\u4e2d'
RESTART_MAIN_CALL = 'call com/example/App.main%s (["", "a b", "\u00fc\u4e2d"])' % MAIN_SIGNATURE
# The runtime's bin folder once on the Path: the new process starts from the
# environment the first one was given, not the one its start changed.
PATH_ONCE = Like(r"env Path=(?!.*jre64\\bin.*jre64\\bin).*;{dir}\\jre64\\bin")


def one_start(restarts: int) -> List:
    return ["option -Dtarn.restart.count=%d" % restarts, 'command line "{dir}\\run.exe" "" "a b" \u00fc\u4e2d', PATH_ONCE,
            "env TARN_RESTART_RECORD unset", RESTART_MAIN_CALL]


def stopped_at_the_bound(result: Result) -> List[str]:
    expected = b"ran\r\n" * 6
    if not result.stdout.startswith(expected):
        return ["expected six runs first, got %r" % result.stdout]
    rest = result.stdout[len(expected):].decode("utf-8", errors="replace")
    line = (r"Error: The application ended with exit code 7, one of Restart Exit Code, after 5 restarts "
            r"within \d+ seconds: it is not started again\. \r\n")
    return [] if re.fullmatch(line, rest) else ["unexpected message %r" % rest]


RESTART = [
    app(
        # The first process waits for the second and ends with its code.
        "restart-exit-code-once-then-zero",
        settings=ini(app="Restart Exit Code=9;7\n"),
        vm_scenario=world("print out ran", "exit-once 7 {dir}\\ran-once"),
        command_line=RESTART_ARGUMENTS,
        stdout=b"ran\r\nran\r\n",
        exit_code=0,
        vm_log=[*one_start(0), "System.exit 7", *one_start(1), "return com/example/App.main", "DestroyJavaVM done"],
        writes=True,
    ),
    app(
        # The windowless launcher waits for the new process too.
        "restart-exit-code-windowless",
        settings=ini(app="Restart Exit Code=7\n"),
        vm_scenario=world("exit-once 7 {dir}\\ran-once", "exit 5"),
        command_line=RESTART_ARGUMENTS,
        exit_code=5,
        vm_log=[*one_start(0), "System.exit 7", *one_start(1), "System.exit 5", "exit hook returned"],
        windowless=True,
        writes=True,
    ),
    app(
        "restart-exit-code-always-stops-at-the-bound",
        settings=ini(app="Restart Exit Code=7\n"),
        vm_scenario=world("print out ran", "exit 7"),
        command_line=RESTART_ARGUMENTS,
        exit_code=7,
        vm_log=[*one_start(0), *one_start(1), *one_start(5), "System.exit 7", "exit hook returned"],
        check=stopped_at_the_bound,
    ),
    app(
        # The new start would hand its arguments to the waiting first one.
        "restart-exit-code-not-with-single-instance",
        settings=ini(app="Single Instance=yes\nRestart Exit Code=7\n"),
        vm_scenario=world("print out ran", "exit 7"),
        stdout=error("Restart Exit Code is not used with Single Instance=yes: the application is not started again.")
        + b"ran\r\n",
        exit_code=7,
        vm_log=["System.exit 7", "exit hook returned"],
        vm_log_excludes=[Like("option -Dtarn.restart.count=.*")],
    ),
    app(
        "restart-exit-code-other-code-ends",
        settings=ini(app="Restart Exit Code=7\n"),
        vm_scenario=world("print out ran", "exit 3"),
        stdout=b"ran\r\n",
        exit_code=3,
        vm_log=["option -Dtarn.restart.count=0", "System.exit 3", "exit hook returned"],
        vm_log_excludes=["option -Dtarn.restart.count=1"],
    ),
]

# --- Keep Output Files -----------------------------------------------------------

# name in logs\ -> modification time, which orders them, not the name; the
# read-only one cannot be removed.
OLD_LOGS = {
    "out-20200101-000000.5.log": 500,
    "out-20200101-000001.1.log": 1000,
    "out-20200101-000002.22.log": 2000,
    "out-20200101-000003.333.log": 1500,
    "err-20200101-000001.1.log": 1000,
    "err-20200101-000002.1.log": 2000,
    "out-2020.log": 10,
    "out-20200101-000001.1.log.bak": 10,
    "notes.txt": 10,
}
REMOVED_LOGS = {"out-20200101-000001.1.log", "out-20200101-000003.333.log", "err-20200101-000001.1.log"}


def kept_logs(result: Result) -> List[str]:
    names = sorted(p.name for p in (result.folder / "logs").iterdir())
    new = sorted(n for n in names if n not in OLD_LOGS)
    failures = []
    if len(new) != 2 or not all(re.fullmatch(r"(err|out)-\d{8}-\d{6}\.\d{1,3}\.log", n) for n in new):
        failures.append("expected one new log of each stream, found %r" % new)
    if sorted(set(names) - set(new)) != sorted(set(OLD_LOGS) - REMOVED_LOGS):
        failures.append("kept %r, expected %r" % (names, sorted(set(OLD_LOGS) - REMOVED_LOGS)))
    return failures


KEEP = [
    app(
        "keep-output-files-removes-the-oldest",
        settings=ini(app="Output File=logs\\out-%yyyyMMdd-HHmmss.L%.log\nError File=logs\\err-%yyyyMMdd-HHmmss.L%.log\n"
                         "Keep Output Files=2\n"),
        vm_scenario=world("print out ran"),
        files={"logs\\" + name: b"old\r\n" for name in OLD_LOGS},
        times={"logs\\" + name: seconds for name, seconds in OLD_LOGS.items()},
        read_only=["logs\\out-20200101-000000.5.log"],
        stdout=b"",
        exit_code=0,
        writes=True,
        check=kept_logs,
    ),
]

SCENARIOS = (MAIN_JAR + ROAD + SOURCES + MESSAGES + ENDINGS + ENVIRONMENT + REDIRECTION + SIBLING + CLASS_DATA
             + MODULES + RESTART + KEEP)
