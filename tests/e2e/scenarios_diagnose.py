"""End-to-end scenarios of the diagnose mode (TARN_DIAGNOSE), run by run_windows.

Each start is checked for its usual outcome and for the diagnose lines it
wrote, to the standard error stream or into a file (diagnosis_lines.py).
Without the variable the output is what it was before the mode existed.
"""

from typing import List, Sequence

from diagnosis_lines import unmatched
from scenarios_hosting import app, creation_failed, error, ini, only_loads, world
from scenarios_registry import (ADOPTIUM_JDK, IBM_JRE, JAVASOFT_JDK, JDK, JRE, SEMERU_JDK, ZULU, Runtime, installed,
                                modern, msi_path, registered)
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
    "shipped runtime {dir}\\: passed over: no runtime there (no bin\\java.dll)",
    JAVASOFT_JRE + "1.5.0_22 (1.5.0.22): below Minimum Version 1.6.0.0",
    JAVASOFT_JRE + "1.7.0: passed over, wrong JVM type: a VM, but no server VM (JVM Type=server): {dir}\\client7\\",
    "HKLM\\Software\\IBM\\Java2 Runtime Environment\\1.8 (1.8.0.0): filtered by VM Provider: an IBM runtime, taken "
    "with ibm, any or a favor_ value",
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
        # Today's installers: the version from the release file, in either
        # hive, each key written as the classic ones are, with the bound or
        # the filter that left it out.
        "diagnose-todays-installers",
        "temurin17",
        [
            msi_path(ADOPTIUM_JDK, "17.0.9.9", "temurin17"),
            RegistryValue(ZULU + "\\zulu-11", "{dir}\\zulu11\\", name="InstallationPath", hive="HKCU"),
            msi_path(SEMERU_JDK, "17.0.8.1", "semeru17", vm="openj9"),
        ],
        ["temurin17", "zulu11", "semeru17"],
        dict(installed("temurin17", "17.0.9"), **installed("zulu11", "11.0.21")),
        jre="Minimum Version=17\n",
        env={"TARN_DIAGNOSE": "1"},
        check=diagnosed(
            [
                "HKLM\\Software\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI (17.0.9.0): admitted, home "
                "{dir}\\temurin17\\",
                "HKLM\\Software\\Semeru\\JDK\\17.0.8.1\\openj9\\MSI (17.0.8.1): filtered by VM Provider: an OpenJ9 "
                "runtime, IBM's to VM Provider, taken with ibm, any or a favor_ value",
                "HKCU\\Software\\Azul Systems\\Zulu\\zulu-11 (11.0.21.0): below Minimum Version 17.0.0.0",
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
                "start <now> (local time), tarn 0.1.0, <n>-bit, process <n>",
                "launcher {dir}\\run.exe",
                "TARN_APP_DIR={dir} (the launcher's folder, for %TARN_APP_DIR% in the configuration)",
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


def lacks(*texts: str):
    """A check: no diagnose line on standard error holds any of the texts."""

    def check(result: Result) -> List[str]:
        lines = result.stderr.decode("utf-8", errors="replace").splitlines()
        wanted = [text.replace("{dir}", result.folder_windows) for text in texts]
        return ["standard error holds %r" % line for line in lines if any(text in line for text in wanted)]

    return check


def both(*checks):
    return lambda result: [failure for check in checks for failure in check(result)]


SHARED = "{dir}\\shared\\"
SCENARIOS += [
    registered(
        # The family key and the exact one name one home: one candidate, of
        # the exact version, ranked once.
        "diagnose-one-home-under-two-subkeys",
        [Runtime(JRE, "1.6", "shared"), Runtime(JRE, "1.6.0_10", "other"), Runtime(JRE, "1.6.0_20", "shared")],
        "shared\\bin\\client\\jvm.dll",
        env={"TARN_DIAGNOSE": "1"},
        check=both(
            diagnosed(
                [
                    JAVASOFT_JRE + "1.6 (1.6.0.0): admitted, home " + SHARED,
                    JAVASOFT_JRE + "1.6.0_10 (1.6.0.10): admitted, home {dir}\\other\\",
                    JAVASOFT_JRE + "1.6.0_20 (1.6.0.20): home %s listed already, now with this version" % SHARED,
                    "registry: taken %s (version 1.6.0.20): ranked first" % SHARED,
                    "registry: passed over {dir}\\other\\ (version 1.6.0.10): ranked below " + SHARED,
                ]
            ),
            lacks("passed over " + SHARED),
        ),
    ),
    registered(
        # An absent Maximum Version: said once, and again when nothing is found.
        "diagnose-maximum-version-unset",
        [Runtime(JRE, "1.7.0", "jre7")],
        None,
        maximum=None,
        extra=[RegistryValue(JAVASOFT_JDK + "\\17.0.2", "{dir}\\jdk17")],
        vms={"jdk17\\bin\\server\\jvm.dll": "boot"},
        env={"TARN_DIAGNOSE": "1"},
        check=diagnosed(
            [
                "registry: Maximum Version is 0.0.0.0 (not set, or without digits): every installed runtime lies above "
                "it; Maximum Version=any sets no upper bound",
                JAVASOFT_JRE + "1.7.0 (1.7.0.0): above Maximum Version 0.0.0.0",
                "HKLM\\Software\\JavaSoft\\JDK\\17.0.2 (17.0.2.0): above Maximum Version 0.0.0.0",
                "no runtime found, and Maximum Version is 0.0.0.0: no installed runtime could be taken; write "
                "Maximum Version=any",
                "exit code -1: no Java runtime was found",
            ]
        ),
    ),
    registered(
        "diagnose-ibm-key-keeps-the-thread",
        [Runtime(IBM_JRE, "1.8", "ibm8")],
        "ibm8\\bin\\client\\jvm.dll",
        jre="VM Provider=ibm\n",
        env={"TARN_DIAGNOSE": "1"},
        check=diagnosed(
            [
                "registry: taken: {dir}\\ibm8\\bin\\client\\jvm.dll",
                "registry: {dir}\\ibm8\\ is registered under IBM's key, Software\\IBM\\Java2 Runtime Environment: the "
                "thread that ran main stays after main returns, so the application ends through System.exit or from "
                "outside",
            ]
        ),
    ),
    registered(
        # A key of the 64-bit view naming a 32-bit home: the 64-bit launcher
        # could not load it, and takes the other runtime instead of failing.
        "diagnose-64-bit-key-naming-a-32-bit-home",
        [Runtime(JRE, "1.8", "jre32", variant="other:boot"), Runtime(JRE, "1.6", "jre6")],
        "jre6\\bin\\client\\jvm.dll",
        arches=("x64",),
        env={"TARN_DIAGNOSE": "1"},
        check=both(
            only_loads("load {dir}\\jre6\\bin\\client\\jvm.dll"),
            diagnosed(
                [
                    JAVASOFT_JRE + "1.8 (1.8.0.0): admitted, home {dir}\\jre32\\",
                    "registry: passed over {dir}\\jre32\\: a 32-bit VM, and the 64-bit view is searched",
                    "registry: taken {dir}\\jre6\\ (version 1.6.0.0): ranked first",
                ]
            ),
        ),
    ),
    app(
        # No class path: the VM is not started, and the last line says why.
        "diagnose-no-class-path",
        settings=ini(class_path="\\nowhere\\*.jar"),
        env={"TARN_DIAGNOSE": "1"},
        stdout=error("Java Class Path entries matched no file: \\nowhere\\*.jar. The Java VM is not started."),
        exit_code=-1,
        check=diagnosed(
            [
                "class path entry \\nowhere\\*.jar: matched nothing",
                "exit code -1: no class path, so the VM was not started (see the message)",
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
