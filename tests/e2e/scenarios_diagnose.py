"""End-to-end scenarios of the diagnose mode (TARN_DIAGNOSE), run by run_windows.

Each start is checked for its usual outcome and for the diagnose lines it
wrote, to the standard error stream or into a file (diagnosis_lines.py).
Without the variable the output is what it was before the mode existed.
"""

from typing import List, Sequence

from diagnosis_lines import unmatched
from scenarios_hosting import app, creation_failed, ini, world
from scenarios_registry import (ADOPTIUM_JDK, IBM_JRE, JDK, JRE, ZULU, Runtime, installed, modern, msi_path,
                                registered)
from wine_registry import RegistryValue
from scenarios_windows import Result


def diagnosed(expected: Sequence[str], file: str = "", ordered: bool = True):
    """A check: the lines of standard error, or of `file` in the scenario
    folder, hold the expected ones (in this order, or each anywhere)."""

    def check(result: Result) -> List[str]:
        output = result.folder.joinpath(*file.split("\\")).read_bytes() if file else result.stderr
        return unmatched(output, expected, result.folder_windows, file or "standard error", ordered)

    return check


JAVASOFT_JRE = "HKLM\\Software\\JavaSoft\\Java Runtime Environment\\"
TAKEN = "{dir}\\jdk6\\jre\\"
# Several runtimes, each passed over for another reason, and two admitted.
RUNTIMES = [
    Runtime(JRE, "1.5.0_22", "jre5", vms=("server",)),
    Runtime(JRE, "1.7.0", "client7", vms=("client",)),
    Runtime(IBM_JRE, "1.8", "ibm8", vms=("server",)),
    Runtime(JDK, "1.6.0_20", "jdk6", vms=("server",)),
    Runtime(JRE, "1.6.0_10", "jre610", vms=("server",)),
]
REASONS = [
    "JRE Path: not set",
    "shipped runtime {dir}\\: passed over: no runtime there",
    JAVASOFT_JRE + "1.5.0_22 (1.5.0.22): below Minimum Version 1.6.0.0",
    JAVASOFT_JRE + "1.7.0: passed over, wrong JVM type: a VM, but no server VM (JVM Type=server): {dir}\\client7\\",
    "HKLM\\Software\\IBM\\Java2 Runtime Environment\\1.8 (1.8.0.0): filtered by VM Provider (IBM)",
    "HKLM\\Software\\JavaSoft\\Java Development Kit\\1.6.0_20 (1.6.0.20): admitted, home " + TAKEN,
    "registry: taken %s (version 1.6.0.20): ranked first" % TAKEN,
    "registry: passed over {dir}\\jre610\\ (version 1.6.0.10): ranked below " + TAKEN,
    "registry: taken: %sbin\\server\\jvm.dll" % TAKEN,
    "the runtime search took <ms>",
    "loaded %sbin\\server\\jvm.dll" % TAKEN,
    # The test VM's main calls System.exit(0).
    "exit code 0: System.exit",
]
SERVER_FROM_1_6 = "JVM Type=server\nMinimum Version=1.6\n"

REFUSING_VM = dict(
    settings=ini(class_path="\\lib\\*.jar;\\missing\\*.jar", jre="Virtual Machine Parameters=-Xmx64m -bogus\n"),
    vm_scenario=world(extra="reject-unknown-options\n"),
    stdout=creation_failed("unknown"),
    stderr=b"Unrecognized option: -bogus\n",
    exit_code=-1,
)

SCENARIOS = [
    registered(
        "diagnose-registry-names-each-reason",
        RUNTIMES + [Runtime(JRE, "1.8", "jre32", vms=("server",), view="32", variant="other:boot")],
        TAKEN[len("{dir}\\"):] + "bin\\server\\jvm.dll",
        jre=SERVER_FROM_1_6,
        arches=("x64",),
        env={"TARN_DIAGNOSE": "1"},
        check=diagnosed(
            ["registry: HKEY_LOCAL_MACHINE, the 64-bit view", JAVASOFT_JRE + "1.8 (32-bit view): not searched, the own view had a runtime"]
            + REASONS,
            ordered=False,
        ),
    ),
    registered(
        "diagnose-registry-names-each-reason-32-bit-launcher",
        RUNTIMES,
        TAKEN[len("{dir}\\"):] + "bin\\server\\jvm.dll",
        jre=SERVER_FROM_1_6,
        arches=("x86",),
        env={"TARN_DIAGNOSE": "yes"},
        check=diagnosed(["registry: HKEY_LOCAL_MACHINE, the 32-bit view"] + REASONS, ordered=False),
    ),
    modern(
        # Today's installers: the version from the release file, in either hive.
        "diagnose-todays-installers",
        "temurin17",
        [
            msi_path(ADOPTIUM_JDK, "17.0.9.9", "temurin17"),
            RegistryValue(ZULU + "\\zulu-11", "{dir}\\zulu11\\", name="InstallationPath", hive="HKCU"),
        ],
        ["temurin17", "zulu11"],
        dict(installed("temurin17", "17.0.9"), **installed("zulu11", "11.0.21")),
        jre="Minimum Version=17\n",
        env={"TARN_DIAGNOSE": "1"},
        check=diagnosed(
            [
                "Software\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI\\ (17.0.9): admitted, home {dir}\\temurin17\\",
                "Software\\Azul Systems\\Zulu\\zulu-11\\ (11.0.21): below Minimum Version 17.0.0.0",
                "registry: taken {dir}\\temurin17\\ (version 17.0.9.0): ranked first",
            ],
            ordered=False,
        ),
    ),
    app(
        # Into a file: standard output and error hold what they would hold
        # without the mode.
        "diagnose-into-a-file-class-path-and-refused-option",
        env={"TARN_DIAGNOSE": lambda folder: folder + "\\diag.log"},
        writes=True,
        exists=["diag.log"],
        check=diagnosed(
            [
                "launcher {dir}\\run.exe",
                "configuration file {dir}\\run.ini",
                "[Java Runtime Environment] Main Class=com.example.App (configuration file)",
                "[Java Runtime Environment] Virtual Machine Parameters=-Xmx64m -bogus (configuration file)",
                "reading the configuration took <ms>",
                "JRE Path: not set",
                "shipped runtime: taken: {dir}\\jre64\\bin\\client\\jvm.dll",
                "loaded {dir}\\jre64\\bin\\client\\jvm.dll",
                "class path entry \\lib\\*.jar: gave {dir}\\lib\\a.jar;{dir}\\lib\\b.jar",
                "class path entry \\missing\\*.jar: matched nothing",
                "class path: {dir}\\lib\\a.jar;{dir}\\lib\\b.jar",
                "VM option 1: -Djava.class.path={dir}\\lib\\a.jar;{dir}\\lib\\b.jar",
                "VM option 2: -Xmx64m",
                "VM option 3: -bogus",
                "JNI_CreateJavaVM took <ms>",
                "JNI_CreateJavaVM refused: -1 (unknown); an option it does not know is enough",
                "exit code -1: the VM refused to be created",
                "the whole start took <ms>",
            ],
            file="diag.log",
        ),
        **REFUSING_VM
    ),
    # The same start without the variable: not a byte more.
    app("diagnose-unset-output-unchanged", env={"TARN_DIAGNOSE": None}, **REFUSING_VM),
    app(
        "diagnose-to-standard-error-around-the-application",
        settings=ini(app="Output File=out.log\n"),
        vm_scenario=world("print out Hello"),
        command_line='"{exe}" x',
        env={"TARN_DIAGNOSE": "1"},
        stdout=b"",
        exit_code=0,
        writes=True,
        exists=["out.log"],
        check=diagnosed(
            [
                "VM option 2: -Dsun.java.command=com.example.App x",
                "VM option 3: -Dsun.java.launcher=SUN_STANDARD",
                "VM option 4: abort",
                "VM option 5: exit",
                "System.out goes to out.log, replaced",
                "main class com/example/App: loaded through LauncherHelper.checkAndLoadMain",
                "main took <ms>",
                "DestroyJavaVM (the application's threads) took <ms>",
                "exit code 0: main returned",
            ]
        ),
    ),
]

# A diagnose file that cannot be opened, or is no disk file: the lines go to
# the standard error stream after one that says so, and the start is as ever.
# (name, TARN_DIAGNOSE, files laid out, files made read-only)
UNOPENABLE = [
    ("missing-folder", "{dir}\\nowhere\\diag.log", {}, ()),
    ("a-folder", "{dir}\\logs", {"logs\\keep.txt": b"kept"}, ()),
    ("read-only-file", "{dir}\\diag.log", {"diag.log": b"old lines\r\n"}, ("diag.log",)),
    ("a-device", "\\\\.\\NUL", {}, ()),
]

SCENARIOS += [
    app(
        "diagnose-file-cannot-be-opened-" + name,
        env={"TARN_DIAGNOSE": lambda folder, value=value: value.replace("{dir}", folder)},
        files=files,
        read_only=read_only,
        contents=files,
        stdout=b"",
        exit_code=0,
        check=diagnosed(
            [
                "cannot open the diagnose file %s; the lines go to the standard error stream" % value,
                "launcher {dir}\\run.exe",
                "exit code 0: main returned",
            ]
        ),
    )
    for name, value, files, read_only in UNOPENABLE
]
