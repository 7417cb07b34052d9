"""End-to-end scenarios for the Windows launcher, run under Wine by run_windows.

A scenario lays out a fresh folder C:\\e2e\\<arch>\\<name>\\ with the launcher
copied under `exe` and the `files` given (exact bytes), starts it with the
exact command line, and checks standard output byte for byte, the full 32-bit
exit code and the files afterwards. Unless `writes` is set, the folder must be
left exactly as it was laid out: these starts write nothing.

Paths inside a scenario are relative to its folder and use backslashes.

A scenario may also lay out the test-double JVM (tests/testvm) as a Java
runtime (`vms`), give it a scenario text (`vm_scenario`) and check the log of
the calls it received (`vm_log`, `vm_log_excludes`). The scenarios of the VM
hosting live in scenarios_hosting.py.
"""

import re
from dataclasses import dataclass, field
from typing import Any, Callable, Dict, List, Optional, Sequence, Union

def error_line(text: str) -> bytes:
    """A line of the launcher's own: "Error: <text> ", every line end CR LF."""
    return ("Error: %s \n" % text).replace("\n", "\r\n").encode("utf-8")


MISSING_MAIN_CLASS = error_line("Main class was not specified in INI file.")


@dataclass
class Scenario:
    name: str
    # Where the launcher is copied, e.g. run.exe, run.beta.exe, deep\path\run.exe.
    exe: str
    # Files to lay out: relative path -> exact bytes (INI files included), or
    # a function of the scenario folder's Windows path giving the bytes.
    files: Dict[str, Union[bytes, Callable[[str], bytes]]] = field(default_factory=dict)
    # The raw command line: a text with {exe} standing for the launcher's full
    # Windows path, or a function of that path.
    command_line: Union[str, Callable[[str], str]] = '"{exe}"'
    # Extra environment variables for the launcher (set inside Wine); None
    # removes the variable.
    env: Dict[str, Union[None, str, Callable[[str], str]]] = field(default_factory=dict)
    # Standard output expected byte for byte, or a function of the scenario
    # folder's Windows path giving it; None when only `stdout_excludes` is
    # checked (the outcome after the configuration is read belongs to other
    # scenarios).
    stdout: Union[None, bytes, Callable[[str], bytes]] = None
    stdout_excludes: Sequence[bytes] = ()
    exit_code: Optional[int] = None
    # Laid-out files given the read-only attribute (a file without write
    # permission, as Wine keeps that attribute).
    read_only: Sequence[str] = ()
    # Files laid out given a modification time: relative path -> seconds since 1970.
    times: Dict[str, int] = field(default_factory=dict)
    # Files expected afterwards, and files that must not exist.
    exists: Sequence[str] = ()
    absent: Sequence[str] = ()
    # True when the start is expected to write into its folder; `exists`
    # then names what it writes.
    writes: bool = False
    arches: Sequence[str] = ("x64", "x86")
    # --- the test VM (all optional) ---
    # Test VMs to lay out: relative path -> variant. Variants are the folders
    # of build/<preset>/tests/testvm: "boot", "plain", "no-create",
    # "no-defaults", "dependent"; "dependency/tarnvmdep.dll" is that file of
    # the folder; "other:<variant>" takes the other width's build;
    # "cut:<variant>" the first 4 KB of that VM, a library cut short.
    vms: Dict[str, str] = field(default_factory=dict)
    # Where the other width's launcher is copied (tarn32.exe beside tarn.exe).
    sibling: Optional[str] = None
    # The test VM's scenario (tests/testvm/README.md); None with `vms` set
    # gives it an empty one. "{dir}" stands for the scenario folder.
    vm_scenario: Optional[str] = None
    # Lines the VM must have logged, in this order, other lines between them
    # allowed; a str matches a whole line, a Like a regular expression. In
    # both, "{dir}" stands for the scenario folder's Windows path.
    vm_log: Sequence[Union[str, "Like"]] = ()
    # Lines that must not appear in the log.
    vm_log_excludes: Sequence[Union[str, "Like"]] = ()
    # The folder the launcher starts in, relative to the scenario folder.
    cwd: Optional[str] = None
    # `exe` is a copy of the windowless launcher (tarnw.exe, tarnw32.exe,
    # beside --tarn) rather than of --tarn.
    windowless: bool = False
    # Standard error expected byte for byte, or a function of the folder as
    # for `stdout` (None: not checked).
    stderr: Union[None, bytes, Callable[[str], bytes]] = None
    # Files expected afterwards with exact content: relative path -> bytes;
    # and the same with the relative path given as a regular expression,
    # which exactly one file must match.
    contents: Dict[str, bytes] = field(default_factory=dict)
    contents_like: Dict[str, bytes] = field(default_factory=dict)
    # Further checks: a function of a Result, returning failure texts.
    check: Optional[Callable[["Result"], List[str]]] = None
    # A line the log must reach before the checks run: the work of a
    # process the launcher started and did not wait for.
    wait_for_log: Optional[Union[str, "Like"]] = None
    # --- several processes at once (run by instances.exe, tests/e2e/instances_win.cpp) ---
    # The plan's steps instead of one start, or a function of the launcher's
    # Windows path giving them; "{exe}" and "{dir}" stand for the launcher's
    # and the folder's Windows paths. Its result lines reach
    # `check` as Result.instances; stdout, stderr and exit_code are not
    # checked then.
    plan: Union[None, str, Callable[[str], str]] = None
    # Further places the launcher is copied to, relative to the folder.
    copies: Sequence[str] = ()
    # Changes the bytes of the launcher copied as `exe` (a damaged executable).
    damage: Optional[Callable[[bytes], bytes]] = None
    # --- the dialogs (optional) ---
    # Steps for dialog_driver.exe (tests/e2e/dialog_driver_win.cpp), run
    # beside the start; "{dir}" stands for the scenario folder. The driver's
    # lines reach `check` as Result.driver, and must include `driver_says`
    # in this order.
    driver: Sequence[str] = ()
    driver_says: Sequence[str] = ()
    # Screenshots: the driver's step "shot <name>" saves the screen as
    # build/screenshots/<arch>/<name>.png, cropped to the windows on it.
    # Starts the launcher in a window station of its own that no one sees.
    hidden_desktop: bool = False
    # The exit code of a second start of the same folder, without the driver:
    # what the first start wrote must spare it the dialog.
    again_exit_code: Optional[int] = None
    # Steps for the driver beside that second start, when it must show a
    # dialog again; its lines must include `again_driver_says` in this order.
    again_driver: Sequence[str] = ()
    again_driver_says: Sequence[str] = ()
    # --- stamping (optional) ---
    # Arguments of tarn-stamp (before INPUT OUTPUT) applied to `exe` once it
    # is laid out; their files come from `stamp_files`, written to a folder
    # of their own outside the scenario folder. The stamp is made twice and
    # must give the same bytes both times.
    stamp: Sequence[str] = ()
    stamp_files: Dict[str, bytes] = field(default_factory=dict)
    # Signs the stamped file with a test certificate and verifies the
    # signature before the start.
    sign: bool = False
    # What stampcheck.exe reads back from `exe` reaches `check` as
    # Result.resources.
    read_resources: bool = False


class Like:
    """A log line given as a regular expression that must match the whole line."""

    def __init__(self, pattern: str):
        self.pattern = pattern

    def matches(self, line: str, folder_windows: str) -> bool:
        return re.fullmatch(self.pattern.replace("{dir}", re.escape(folder_windows)), line) is not None

    def __repr__(self):
        return "Like(%r)" % self.pattern


def log_line_matches(expected: Union[str, Like], line: str, folder_windows: str) -> bool:
    if isinstance(expected, Like):
        return expected.matches(line, folder_windows)
    return line == expected.replace("{dir}", folder_windows)


@dataclass
class Result:
    """What a check function gets: the run's outcome and where it happened."""

    arch: str
    folder: Any  # pathlib.Path of the scenario folder
    folder_windows: str
    stdout: bytes
    stderr: bytes
    exit_code: int
    log: List[str]
    # The result lines of a plan (`Scenario.plan`).
    instances: List[str] = field(default_factory=list)
    driver: List[str] = field(default_factory=list)
    resources: str = ""


def crlf(text: str) -> bytes:
    """INI text with every line ending in CR LF, as UTF-8 (ASCII in practice)."""
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def unloadable_runtime(folder: str = "") -> Dict[str, bytes]:
    """A Java home beside the launcher whose jvm.dll is not an image.

    Starts that get past the configuration find this runtime first and end
    when it cannot be loaded, so they never reach the missing-runtime dialog.
    """
    prefix = folder + "\\" if folder else ""
    return {
        prefix + "bin\\java.dll": b"not a library\r\n",
        prefix + "bin\\client\\jvm.dll": b"not a library\r\n",
    }


def with_runtime(files: Dict[str, bytes], folder: str = "") -> Dict[str, bytes]:
    laid_out = dict(unloadable_runtime(folder))
    laid_out.update(files)
    return laid_out


def load_failure(folder: str = "") -> Callable[[str], bytes]:
    """The output of a start that got past its configuration and found the
    unloadable runtime of `folder` (message 222, ERROR_BAD_EXE_FORMAT)."""

    def expected(scenario_folder: str) -> bytes:
        home = scenario_folder + "\\" + (folder + "\\" if folder else "")
        return error_line("Failed to load Java VM library: %sbin\\client\\jvm.dll (errno = 193).\n" % home)

    return expected


INI_WITHOUT_MAIN_CLASS = crlf(
    "[Java Runtime Environment]\n"
    "Minimum Version=1.8\n"
    "JVM Type=server\n"
    "[Class Path]\n"
    "Class Path=lib\\app.jar\n"
)

INI_WITH_MAIN_CLASS = crlf(
    "[Java Runtime Environment]\n"
    "Main Class=com.example.App\n"
    "[Class Path]\n"
    "Class Path=lib\\app.jar\n"
)

# The launcher's executable path is held in 260 characters at most; Wine
# 8.0 starts no executable whose full path has 260 characters or more
# (CreateProcessW: ERROR_FILE_NOT_FOUND, with or without the \\?\ prefix).
# So the deep scenarios use the longest path that can be started: 259
# characters for C:\e2e\x64\<name>\...\run.exe.
MAX_STARTABLE_PATH = 259


def deep_exe(name: str) -> str:
    """A relative launcher path whose full path C:\\e2e\\x64\\<name>\\...\\run.exe
    has exactly MAX_STARTABLE_PATH characters (x86 has the same length)."""
    folder = "C:\\e2e\\x64\\" + name + "\\"
    room = MAX_STARTABLE_PATH - len(folder) - len("run.exe")
    # Levels of 40 characters, each followed by a backslash.
    count, rest = divmod(room, 41)
    lengths = [40] * count
    if rest == 1:
        lengths[-1] += 1
    elif rest > 1:
        lengths.append(rest - 1)
    return "".join(chr(ord("a") + i) * length + "\\" for i, length in enumerate(lengths)) + "run.exe"


def ini_beside(exe: str) -> str:
    return exe[: exe.rindex(".")] + ".ini"


DEEP_WITHOUT_MAIN_CLASS = deep_exe("deep-folder-without-main-class")
DEEP_WITH_MAIN_CLASS = deep_exe("deep-folder-with-main-class")


def long_command_line(length: int) -> Callable[[str], str]:
    """A command line of exactly `length` characters: quoted groups, plain
    pieces and runs of spaces."""

    def build(exe: str) -> str:
        text = '"%s"' % exe
        filler = ' plain "quoted group" -x  "unterminated'
        while len(text) < length:
            text += filler
        return text[:length]

    return build


def utf16_with_bom(text: str) -> bytes:
    return b"\xff\xfe" + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-16-le")


def megabyte_ini(with_main_class: bool) -> bytes:
    lines = []
    size = 0
    section = 0
    while size < 1024 * 1024:
        line = "[Section %05d]\nKey=%s\nOther Key=%s\n" % (section, "v" * 60, "w" * 60)
        lines.append(line)
        size += len(line) + 3
        section += 1
    tail = "[Java Runtime Environment]\nMinimum Version=1.8\n"
    if with_main_class:
        tail += "Main Class=com.example.App\n"
    return crlf("".join(lines) + tail)


APPDATA_300 = lambda folder: folder + "\\" + ("appdata-" + "a" * 400)[: 300 - len(folder) - 1]

SCENARIOS = [
    Scenario(
        name="no-main-class",
        exe="run.exe",
        files={"run.ini": INI_WITHOUT_MAIN_CLASS},
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    Scenario(
        # Past the configuration the start finds the runtime beside the
        # launcher and reports that its jvm.dll cannot be loaded.
        name="main-class-present",
        exe="run.exe",
        files=with_runtime({"run.ini": INI_WITH_MAIN_CLASS}),
        stdout=load_failure(),
        exit_code=-1,
    ),
    Scenario(
        # run.beta.exe reads run.beta.ini, not run.ini: only run.ini names a
        # main class, so reading the wrong file would not report 210.
        name="dotted-name-reads-own-ini",
        exe="run.beta.exe",
        files=with_runtime({"run.beta.ini": INI_WITHOUT_MAIN_CLASS, "run.ini": INI_WITH_MAIN_CLASS}),
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    Scenario(
        name="dotted-name-inverse",
        exe="run.beta.exe",
        files=with_runtime({"run.beta.ini": INI_WITH_MAIN_CLASS, "run.ini": INI_WITHOUT_MAIN_CLASS}),
        stdout=load_failure(),
        exit_code=-1,
    ),
    Scenario(
        name="missing-ini",
        exe="run.exe",
        files={"other.ini": INI_WITH_MAIN_CLASS},
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    Scenario(
        name="empty-ini",
        exe="run.exe",
        files={"run.ini": b""},
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    Scenario(
        name="binary-ini",
        exe="run.exe",
        files={"run.ini": bytes(range(256)) * 16 + b"\x00\xff\xfe\r\n[\x00=\r\n"},
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    Scenario(
        name="utf16-ini-without-main-class",
        exe="run.exe",
        files={"run.ini": utf16_with_bom("[Java Runtime Environment]\nJVM Type=server\nMinimum Version=1.8\n")},
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    Scenario(
        name="utf16-ini-with-main-class",
        exe="run.exe",
        files=with_runtime({"run.ini": utf16_with_bom("[Java Runtime Environment]\nMain Class=com.example.App\n")}),
        stdout=load_failure(),
        exit_code=-1,
    ),
    Scenario(
        name="megabyte-ini-without-main-class",
        exe="run.exe",
        files={"run.ini": megabyte_ini(with_main_class=False)},
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    Scenario(
        # The main class stands at the end of a 1 MB file: the whole file is read.
        name="megabyte-ini-main-class-at-end",
        exe="run.exe",
        files=with_runtime({"run.ini": megabyte_ini(with_main_class=True)}),
        stdout=load_failure(),
        exit_code=-1,
    ),
    Scenario(
        # Main Class only in the "+" section: the layered read finds it.
        name="main-class-in-plus-section",
        exe="run.exe",
        files=with_runtime(
            {
                "run.ini": crlf(
                    "[Java Runtime Environment]\nMinimum Version=1.8\n"
                    "[Java Runtime Environment+]\nMain Class=com.example.App\n"
                )
            }
        ),
        stdout=load_failure(),
        exit_code=-1,
    ),
    Scenario(
        name="deep-folder-without-main-class",
        exe=DEEP_WITHOUT_MAIN_CLASS,
        files={ini_beside(DEEP_WITHOUT_MAIN_CLASS): INI_WITHOUT_MAIN_CLASS},
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    Scenario(
        # The INI beside a launcher with a 259-character path is found (a
        # wrong or cut path would read nothing and report 210), and so is the
        # runtime beside it, whose jvm.dll path has 270 characters.
        name="deep-folder-with-main-class",
        exe=DEEP_WITH_MAIN_CLASS,
        files=with_runtime(
            {ini_beside(DEEP_WITH_MAIN_CLASS): INI_WITH_MAIN_CLASS},
            folder=DEEP_WITH_MAIN_CLASS.rsplit("\\", 1)[0],
        ),
        stdout=load_failure(DEEP_WITH_MAIN_CLASS.rsplit("\\", 1)[0]),
        exit_code=-1,
    ),
    Scenario(
        name="long-appdata-without-main-class",
        exe="run.exe",
        files={
            "run.ini": crlf(
                "[Product Information]\n"
                'Product Name=\\?"|><:/*\n'
                "Product Code={0F1E}\n"
                "[Java Runtime Environment]\n"
                "JVM Type=server\n"
            )
        },
        env={"APPDATA": APPDATA_300},
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    Scenario(
        # A service runs without the guard: started from a console, it is the
        # service dispatcher's refusal (1063) and no message, as without it.
        name="single-instance-off-in-service-mode",
        exe="run.exe",
        files=with_runtime(
            {"run.ini": INI_WITH_MAIN_CLASS + crlf("[Application]\nApplication Type=service\nSingle Instance=yes\n")}
        ),
        stdout=b"",
        exit_code=1063,
    ),
    Scenario(
        # Only the lower-case "yes" turns the guard on.
        name="single-instance-other-values-ignored",
        exe="run.exe",
        files=with_runtime({"run.ini": INI_WITH_MAIN_CLASS + crlf("[Application]\nSingle Instance=Yes\n")}),
        stdout=load_failure(),
        exit_code=-1,
    ),
]
