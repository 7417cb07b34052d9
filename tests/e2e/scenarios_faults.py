"""End-to-end scenarios of faults that were mended, run by run_windows: each
one fails on the fault its name gives (a start that reported success, a file
or program taken from a folder the user does not control, a value cut short).
"""

from typing import List

from scenarios_hosting import (
    JARS,
    MAIN_END,
    MAIN_SIGNATURE,
    NOTHING_LOADED,
    app,
    error,
    ini,
    ini_in,
    only_loads,
    stack_at_least,
    world,
)
from scenarios_registry import JRE, Runtime, registered
from scenarios_windows import APPDATA_300, Like, Result, Scenario, long_command_line
from wine_registry import RegistryValue

# --- the paired launcher -------------------------------------------------------


def paired(name: str, pair_product: str, exit_code: int, return_code: bool = True, **rest) -> Scenario:
    """run.exe (x64) with a 32-bit runtime in JRE Path, so the start goes to the
    paired launcher that Pair Product names."""
    exe = rest.pop("exe", "run.exe")
    files = dict(JARS)
    files.update(rest.pop("files", {}))
    files[exe[: exe.rindex(".")] + ".ini"] = rest.pop(
        "settings",
        ini_in(
            jre="JRE Path={dir}\\jre32\n",
            app="Pair Product=%s\n" % pair_product + ("Pair Return Code=Yes\n" if return_code else ""),
        ),
    )
    files["jre32\\bin\\java.dll"] = b""
    vms = {"jre32\\bin\\client\\jvm.dll": "other:boot"}
    vms.update(rest.pop("vms", {}))
    return Scenario(
        name=name,
        exe=exe,
        files=files,
        vms=vms,
        vm_scenario=rest.pop("vm_scenario", world("print out from the sibling", "exit 7")),
        exit_code=exit_code,
        arches=("x64",),
        **rest
    )


SIBLING = [
    # A paired launcher that cannot be started is a failed start, not a
    # success: the system's reason and -1, with or without Pair Return Code.
    paired(
        "sibling-that-cannot-start",
        "{dir}\\run32.exe",
        -1,
        stdout=lambda folder: error("Failed to start the paired launcher %s\\run32.exe (errno = 2).\n" % folder),
        vm_log_excludes=NOTHING_LOADED,
    ),
    paired(
        "sibling-that-cannot-start-without-pair-return-code",
        "{dir}\\run32.exe",
        -1,
        return_code=False,
        stdout=lambda folder: error("Failed to start the paired launcher %s\\run32.exe (errno = 2).\n" % folder),
        vm_log_excludes=NOTHING_LOADED,
    ),
    # A launcher paired with itself would start itself for ever.
    paired(
        "sibling-is-this-launcher",
        "RUN.EXE",
        -1,
        stdout=lambda folder: error("Pair Product names this launcher itself: %s\\RUN.EXE.\n" % folder),
        vm_log_excludes=NOTHING_LOADED,
    ),
    # A launcher started by its paired launcher never hands the start on
    # again: two launchers pairing each other would start each other for ever.
    paired(
        "sibling-started-by-its-sibling-does-not-hand-on",
        "{dir}\\run32.exe",
        -1,
        sibling="run32.exe",
        env={"TARN_STARTED_BY_PAIRED_LAUNCHER": "1"},
        stdout=lambda folder: error(
            "%s\\run.exe was started by its paired launcher and would hand the start on again.\n" % folder
        ),
        vm_log_excludes=NOTHING_LOADED,
    ),
    # A relative Pair Product is taken against the launcher's folder: the
    # program of that name in the current directory is never started.
    paired(
        "sibling-relative-pair-product-beside-the-launcher",
        "x86\\run32.exe",
        7,
        exe="app\\run.exe",
        sibling="app\\x86\\run32.exe",
        settings=ini_in(jre="JRE Path={dir}\\jre32\n", app="Pair Product=x86\\run32.exe\nPair Return Code=Yes\n"),
        files={
            "app\\x86\\run32.ini": ini_in(jre="JRE Path={dir}\\jre32\n", class_path="{dir}\\lib\\*.jar"),
            "work\\x86\\run32.exe": b"MZ planted",
        },
        cwd="work",
        stdout=b"from the sibling\r\n",
        vm_log=["host {dir}\\app\\x86\\run32.exe"],
    ),
]

# --- files and runtimes from folders the user does not control ----------------

PLACES = [
    # A relative JRE Path is found against the current directory and loaded
    # by its full path: the library search would otherwise take the runtime
    # of that name beside the launcher.
    app(
        "relative-jre-path-loads-what-was-found",
        settings=ini(jre="JRE Path=jre\n"),
        homes=(("work\\jre",), ("jre",)),
        cwd="work",
        exit_code=0,
        vm_log=[
            "load {dir}\\work\\jre\\bin\\client\\jvm.dll",
            "env TARN_JVM_PATH={dir}\\work\\jre\\bin\\client\\jvm.dll",
            "env TARN_JVM_HOME={dir}\\work\\jre",
            Like(r"env Path=.*;{dir}\\work\\jre\\bin"),
        ],
        check=only_loads("load {dir}\\work\\jre\\bin\\client\\jvm.dll"),
    ),
    # With a relative %APPDATA% the per-user file would be read from the
    # current directory: a JRE Path planted there is never used.
    app(
        "per-user-file-never-from-a-relative-appdata",
        settings=b"[Product Information]\r\nProduct Name=Tool\r\nProduct Code={C0DE}\r\n" + ini(),
        homes=(("jre64",), ("planted",)),
        files={"appdata\\Tool\\{C0DE}\\run.ini": ini_in(jre="JRE Path={dir}\\planted\n")},
        env={"APPDATA": "appdata"},
        exit_code=0,
        check=only_loads("load {dir}\\jre64\\bin\\client\\jvm.dll"),
    ),
    # A registered JavaHome that is not a full path would be taken against the
    # current directory: such a runtime is passed over.
    registered(
        "registry-relative-java-home-passed-over",
        [Runtime(JRE, "1.6", "jre6")],
        "jre6\\bin\\client\\jvm.dll",
        extra=[RegistryValue(JRE + "\\1.8", "jre8")],
        vms={"jre8\\bin\\client\\jvm.dll": "boot"},
    ),
]

# --- the end of a start -----------------------------------------------------------

ENDINGS = [
    # "VM Provider" admitting IBM runtimes parks the main thread only for a
    # runtime registered as IBM's: here main returns and the start ends.
    app(
        "vm-provider-favor-sun-ends-when-main-returns",
        settings=ini(jre="VM Provider=favor_sun\n"),
        vm_scenario=world("print out done"),
        stdout=b"done\r\n",
        exit_code=0,
        vm_log=MAIN_END,
    ),
    app(
        "vm-provider-any-describes-and-ends-after-an-exception",
        settings=ini(jre="VM Provider=any\n"),
        vm_scenario=world("throw java/lang/IllegalStateException boom"),
        exit_code=1,
        vm_log=["DetachCurrentThread main, uncaught java/lang/IllegalStateException", "DestroyJavaVM done"],
    ),
]

# --- the environment and the class path ---------------------------------------------


def path_of_vm(expected: str):
    """The VM saw exactly this search path ("{dir}" for the scenario folder)."""

    def check(result: Result) -> List[str]:
        wanted = "env Path=" + expected.replace("{dir}", result.folder_windows)
        lines = [line for line in result.log if line.startswith("env Path=")]
        return [] if lines == [wanted] else ["search path %r, expected %r" % (lines, wanted)]

    return check


ENVIRONMENT = [
    # An unset or empty Path, or a reference to an undefined variable, leaves
    # no literal %Path% and no empty entry (the current directory) behind.
    app(
        "search-path-with-path-unset",
        settings=ini(jre="System Path=C:\\tools;%TARN_E2E_NOT_SET%\\bin;;\n"),
        env={"Path": None},
        exit_code=0,
        check=path_of_vm("C:\\tools;{dir}\\jre64\\bin"),
    ),
    app(
        "search-path-with-path-empty",
        env={"Path": ""},
        exit_code=0,
        check=path_of_vm("{dir}\\jre64\\bin"),
    ),
    app(
        "library-path-with-path-unset",
        settings=ini(jre="Library Path=C:\\libs\n"),
        env={"Path": None},
        exit_code=0,
        vm_log=["option -Djava.library.path=C:\\libs;{dir}\\;.;{dir}\\jre64\\lib"],
    ),
    # A file name found by a wildcard is never expanded: it cannot add
    # entries to the class path.
    app(
        "class-path-names-found-are-not-expanded",
        settings=ini(class_path="\\plug\\*.jar"),
        files={"plug\\%TARN_E2E_B%.jar": b"PK\x05\x06" + bytes(18)},
        env={"TARN_E2E_B": "x.jar;C:\\planted"},
        exit_code=0,
        vm_log=["option -Djava.class.path={dir}\\plug\\%TARN_E2E_B%.jar"],
    ),
]

# --- long values, whole -----------------------------------------------------------

LONG_MAIN_CLASS = "a." * 49999 + "bc"
# The folder that APPDATA_300 names inside the scenario folder (whose path
# is as long for x64 as for x86).
LONG_APPDATA_FOLDER = "C:\\e2e\\x64\\long-appdata-invalid-product-name"
LONG_APPDATA_NAME = APPDATA_300(LONG_APPDATA_FOLDER)[len(LONG_APPDATA_FOLDER) + 1 :]


def launcher_arguments(command_line: str) -> List[str]:
    """The arguments the launcher gives main for a command line: only the
    space separates, a quote groups only at the start of a piece, no escapes,
    the program token dropped."""
    text = command_line.strip()
    pieces: List[str] = []
    start = 0
    while start < len(text):
        if text[start] == '"':
            closing = text.find('"', start + 1)
            if closing < 0:
                pieces.append(text[start + 1 :])
                break
            pieces.append(text[start + 1 : closing])
            end = closing + 1
        else:
            end = text.find(" ", start)
            if end < 0:
                pieces.append(text[start:])
                break
            pieces.append(text[start:end])
        while end < len(text) and text[end] == " ":
            end += 1
        start = end
    return pieces[1:]


def main_called_with_the_whole_command_line(length: int):
    def check(result: Result) -> List[str]:
        command_line = long_command_line(length)(result.folder_windows + "\\run.exe")
        wanted = 'call com/example/App.main%s ([%s])' % (
            MAIN_SIGNATURE,
            ", ".join('"%s"' % argument for argument in launcher_arguments(command_line)),
        )
        return [] if wanted in result.log else ["main was not called with the %d-character command line's arguments" % length]

    return check


LONG_VALUES = [
    # The whole name reaches the VM and the message: a cut name would name another class.
    app(
        "main-class-of-100000-characters",
        settings=ini(main=LONG_MAIN_CLASS),
        homes=(("jre64", "client", "plain"),),
        stdout=error("Could not find the main class %s.\n" % LONG_MAIN_CLASS.replace(".", "/")),
        exit_code=-1,
    ),
    # A JRE Path of 100,000 characters is read and resolved whole: only its
    # last characters make it name the runtime in jre\ (a cut value names
    # the launcher's folder or x\, and the runtime beside the launcher would
    # be taken instead).
    app(
        "jre-path-of-100000-characters",
        settings=lambda folder: ini(
            jre="JRE Path=%s\\%sjre\n" % (folder, "x\\..\\" * ((100000 - len(folder) - 4) // 6))
        ),
        homes=(("jre64",), ("jre",)),
        exit_code=0,
        check=only_loads("load {dir}\\jre\\bin\\client\\jvm.dll"),
    ),
    # Every argument of a command line of 32,000 characters reaches main.
    app(
        "command-line-of-32000-characters",
        command_line=long_command_line(32000),
        exit_code=0,
        check=main_called_with_the_whole_command_line(32000),
    ),
    # The per-user file below an APPDATA of 300 characters, with a Product
    # Name that filters down to nothing, is found and read.
    app(
        "long-appdata-invalid-product-name",
        settings=b'[Product Information]\r\nProduct Name=\\?"|><:/*\r\nProduct Code={0F1E}\r\n' + ini(),
        homes=(("jre64",), ("userjre",)),
        files={
            LONG_APPDATA_NAME + "\\\\{0F1E}\\run.ini": ini_in(jre="JRE Path={dir}\\userjre\n"),
        },
        env={"APPDATA": APPDATA_300},
        exit_code=0,
        check=only_loads("load {dir}\\userjre\\bin\\client\\jvm.dll"),
    ),
]

SCENARIOS = SIBLING + PLACES + ENDINGS + ENVIRONMENT + LONG_VALUES
