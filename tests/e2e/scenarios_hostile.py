"""End-to-end scenarios of hostile inputs, run by run_windows: each row an
input no one means to give the launcher, and the clear outcome it must give
instead of a crash, a hang, a window or a damaged file.

Rows that other tables already hold: a jvm.dll that is a text file
(vm-library-not-an-image) or of the other width (vm-library-of-other-width)
in scenarios_hosting.py; a launcher path of 259 characters
(deep-folder-with-main-class) and INI bytes of every value (binary-ini) in
scenarios_windows.py. Large inputs are made when the scenario is laid out.
"""

import random
from typing import List

from scenarios_hosting import MAIN_END, MAIN_SIGNATURE, NOTHING_LOADED, app, error, ini, ini_in, load_failed, only_loads, world
from scenarios_windows import MISSING_MAIN_CLASS, Like, Result, Scenario

JAR = b"PK\x05\x06" + bytes(18)

# --- the configuration file ---------------------------------------------------------


def after_filler(filler: bytes):
    """The INI of a plain start behind `filler` (its own lines end it)."""
    return lambda folder: filler + ini()


def fifty_megabytes(folder: str) -> bytes:
    line = b"[Filler]\r\nKey=" + b"v" * 100 + b"\r\n"
    return line * (50 * 1024 * 1024 // len(line)) + ini()


def random_bytes(folder: str) -> bytes:
    # A fixed seed: the same bytes every run. No BOM, so no other encoding is taken.
    data = bytearray(random.Random(16).randbytes(1024 * 1024))
    data[0:2] = b"ab"
    return bytes(data)


def utf16_odd(folder: str) -> bytes:
    text = ini().decode("utf-8")
    return b"\xff\xfe" + text.encode("utf-16-le") + b"A"


MEGABYTE = 1024 * 1024

CONFIGURATION = [
    # Read whole: the main class stands behind 50 MB of other sections.
    app("ini-of-50-megabytes", settings=fifty_megabytes, exit_code=0, vm_log=MAIN_END),
    app("ini-of-random-bytes", settings=random_bytes, stdout=MISSING_MAIN_CLASS, exit_code=-1,
        vm_log_excludes=NOTHING_LOADED),
    # The odd last byte is no character; the text before it is read.
    app("ini-in-utf16-with-an-odd-byte-count", settings=utf16_odd, exit_code=0, vm_log=MAIN_END),
    app("ini-with-a-section-line-of-1-megabyte",
        settings=after_filler(b"[" + b"s" * MEGABYTE + b"]\r\nKey=value\r\n"), exit_code=0, vm_log=MAIN_END),
    app("ini-with-a-key-line-of-1-megabyte",
        settings=lambda folder: ini().replace(b"]\r\n", b"]\r\n" + b"k" * MEGABYTE + b"=value\r\n", 1),
        exit_code=0, vm_log=MAIN_END),
]

# --- the class path -----------------------------------------------------------------


def class_path_is(entries, ordered: bool):
    """The VM got exactly these class path entries (a function of the folder),
    in this order or in any."""

    def check(result: Result) -> List[str]:
        got = [line for line in result.log if line.startswith("option -Djava.class.path=")]
        names = got[0][len("option -Djava.class.path=") :].split(";") if len(got) == 1 else []
        wanted = entries(result.folder_windows)
        if (names if ordered else sorted(names)) == (wanted if ordered else sorted(wanted)):
            return []
        return ["the class path holds %d entries, expected these %d" % (len(names), len(wanted))]

    return check


SHARED = ["C:\\shared\\lib%05d.jar" % i for i in range(10000)]
MANY = ["many\\m%05d.jar" % i for i in range(20000)]

CLASS_PATH = [
    # Absolute entries are taken as written, all of them.
    app(
        "class-path-of-10000-entries",
        settings=ini(class_path=";".join(SHARED)),
        exit_code=0,
        vm_log=MAIN_END,
        check=class_path_is(lambda folder: SHARED, ordered=True),
    ),
    # Every one of the 20,000 names the wildcard matches, in the order the
    # directory search gives them.
    app(
        "class-path-wildcard-matching-20000-files",
        settings=ini(class_path="\\many\\*.jar"),
        files={name: b"" for name in MANY},
        exit_code=0,
        vm_log=MAIN_END,
        check=class_path_is(lambda folder: [folder + "\\" + name for name in MANY], ordered=False),
    ),
]

# --- the VM library -------------------------------------------------------------------


LIBRARY = [
    # A folder named jvm.dll is no library.
    app(
        "vm-library-is-a-folder",
        homes=(),
        files={"jre64\\bin\\java.dll": b"", "jre64\\bin\\client\\jvm.dll\\inside.txt": b""},
        stdout=load_failed("jre64\\bin\\client\\jvm.dll", 5),
        exit_code=-1,
    ),
    # The first 4 KB of a real jvm.dll: headers that promise sections the file lacks.
    app(
        "vm-library-cut-short",
        homes=(("jre64", "client", "cut:boot"),),
        stdout=load_failed("jre64\\bin\\client\\jvm.dll", 193),
        exit_code=-1,
        vm_log_excludes=NOTHING_LOADED,
    ),
    # The process ends with the access violation's code: no window, no wait.
    app(
        "vm-crashes-while-it-starts",
        vm_scenario=world(extra="create-crashes\n"),
        stdout=b"",
        exit_code=-1073741819,  # 0xC0000005
        vm_log=["CreateJavaVM crashes"],
        vm_log_excludes=[Like("CreateJavaVM -> .*")],
    ),
]

# --- the VM parameters ------------------------------------------------------------------

QUOTES = 10000

PARAMETERS = [
    # 10,000 quotes in one parameter: of each three quotes one stays (a pair
    # around a doubled closing quote); the last has no partner and stays too.
    app(
        "vm-parameters-with-10000-quotes",
        settings=ini(jre="Virtual Machine Parameters=-Dq=%s -Xmx64m\n" % ('"' * QUOTES)),
        exit_code=0,
        vm_log=["option -Dq=" + '"' * 3334, "option -Xmx64m", *MAIN_END],
    ),
    # 10,000 quotes, one in each of 10,000 words: each two quotes group the
    # space between them.
    app(
        "vm-parameters-with-10000-quoted-spaces",
        settings=ini(jre="Virtual Machine Parameters=%s\n" % " ".join(['-Da="'] * QUOTES)),
        exit_code=0,
        vm_log=[Like("CreateJavaVM version=0x00010002 nOptions=%d .*" % (QUOTES // 2 + 5)), "option -Da= -Da=",
                *MAIN_END],
    ),
    # A percentage of 10^30 gives the largest size there is, and the VM decides.
    app(
        "vm-parameters-percentage-of-10-to-the-30",
        settings=ini(jre="Virtual Machine Parameters=-Xmx1%sp -Xss1%sp\n" % ("0" * 30, "0" * 30)),
        exit_code=0,
        vm_log=["option -Xmx18446744073709551615K", "option -Xss18446744073709551615K", *MAIN_END],
    ),
]

# --- the output files ---------------------------------------------------------------------



def long_output(folder: str) -> str:
    """A path of 300 characters below the scenario folder (as long for x64 as for x86)."""
    relative = ("d" * 100 + "\\") * 2
    return folder + "\\" + relative + "o" * (300 - len(folder) - 1 - len(relative))


def cannot_open(relative: str):
    """What the VM says when the output file below the folder cannot be opened."""
    return lambda folder: (
        'Exception in thread "main" java.io.FileNotFoundException: %s\\%s (The system cannot find the path specified)\r\n'
        "\tat java.io.FileOutputStream.open0(Native Method)\r\n" % (folder, relative)
    ).encode("utf-8")


OUTPUT = [
    # NUL swallows the output; nothing is created.
    app(
        "output-file-nul",
        settings=ini(app="Output File=NUL\n"),
        vm_scenario=world("print out gone"),
        stdout=b"",
        exit_code=0,
    ),
    # The launcher hands a device name to the VM as written (not made a path
    # in the folder), and makes no folder for it; what the device does with
    # the output is its own affair (Wine without a console refuses it), and
    # main runs either way.
    app(
        "output-file-con",
        settings=ini(app="Output File=CON\n"),
        vm_scenario=world("print out where"),
        exit_code=0,
        vm_log=[
            Like('new FileOutputStream "CON" truncate -> .*'),
            "call com/example/App.main%s ([])" % MAIN_SIGNATURE,
            "return com/example/App.main",
        ],
        vm_log_excludes=[Like(r'new FileOutputStream "[^"]+\\CON".*'), Like("new FileOutputStream .* append.*")],
    ),
    # The folders above the file are made as ever; COM1 is a device, not a
    # folder, and the VM cannot open the file below it.
    app(
        "output-file-below-com1",
        settings=ini_in(app="Output File={dir}\\logs\\COM1\\out.log\n"),
        vm_scenario=world("print out here"),
        stdout=b"here\r\n",
        stderr=cannot_open("logs\\COM1\\out.log"),
        exit_code=0,
        writes=True,
        exists=["logs"],
        absent=["logs\\COM1"],
    ),
    # Windows drops the dots and spaces that end a file name: out.log.
    app(
        "output-file-with-trailing-dots-and-spaces",
        settings=ini_in(app="Output File={dir}\\out.log. . \n"),
        vm_scenario=world("print out kept"),
        exit_code=0,
        writes=True,
        contents={"out.log": b"kept\r\n"},
    ),
    # A folder so named would be made without them, under another name: it
    # is not made, and the VM cannot open the file.
    app(
        "output-folder-with-trailing-dots-and-spaces",
        settings=ini_in(app="Output File={dir}\\logs. .\\out.log\n"),
        vm_scenario=world("print out here"),
        stdout=b"here\r\n",
        stderr=cannot_open("logs. .\\out.log"),
        exit_code=0,
    ),
    # The folders of a 300-character path are made, and the file is written there.
    app(
        "output-file-of-300-characters",
        settings=lambda folder: ini(app="Output File=%s\n" % long_output(folder)),
        vm_scenario=world("print out far"),
        exit_code=0,
        writes=True,
        check=lambda result: [] if (result.folder / long_output(result.folder_windows)[len(result.folder_windows) + 1 :]
                                    .replace("\\", "/")).is_file() else ["the 300-character output file is missing"],
    ),
]

# --- the per-user file and the environment ---------------------------------------------------

USER = b"[Product Information]\r\nProduct Name=Tool\r\nProduct Code={C0DE}\r\n"

ENVIRONMENT = [
    # A folder where the per-user file would be holds no JRE Path: the one
    # of the INI stays.
    app(
        "per-user-file-is-a-folder",
        settings=lambda folder: USER + ini_in(jre="JRE Path={dir}\\jre\n")(folder),
        homes=(("jre",), ("jre64",)),
        files={"appdata\\Tool\\{C0DE}\\run.ini\\inside.txt": b""},
        env={"APPDATA": lambda folder: folder + "\\appdata"},
        exit_code=0,
        check=only_loads("load {dir}\\jre\\bin\\client\\jvm.dll"),
    ),
    # 40 variables of 800 characters each: the start goes on as ever.
    app(
        "environment-of-32k-characters",
        env={"TARN_E2E_FILL%02d" % i: "f" * 800 for i in range(40)},
        exit_code=0,
        vm_log=[Like(r"env Path=.*;{dir}\\jre64\\bin"), *MAIN_END],
    ),
]


def long_path(folder: str) -> str:
    """A Path of 32,759 characters: folders of 60 characters and a shorter last one."""
    entries = []
    while len(";".join(entries)) + 2 * 61 < 32759:
        entries.append("C:\\p%04d\\" % len(entries) + "x" * 50)
    entries.append("C:\\last\\" + "z" * (32759 - len(";".join(entries)) - 1 - 8))
    return ";".join(entries)


def search_path_fits(result: Result) -> List[str]:
    lines = [line for line in result.log if line.startswith("env Path=")]
    if len(lines) != 1:
        return ["the VM saw no Path: %r" % lines]
    value = lines[0][len("env Path="):]
    entries = value.split(";")
    failures = []
    if len(value) > 32766:
        failures.append("the Path has %d characters, more than a variable holds" % len(value))
    if entries[:1] != ["C:\\tools"]:
        failures.append("the Path does not start with the System Path: %r" % entries[:1])
    if entries[-1:] != [result.folder_windows + "\\jre64\\bin"]:
        failures.append("the Path does not end with the runtime's bin folder: ...%r" % value[-120:])
    old = long_path(result.folder_windows).split(";")
    if entries[1:-1] != old[: len(entries) - 2]:
        failures.append("the Path's middle is not the start of the old Path")
    return failures


PATH = [
    app(
        "path-of-32759-characters-with-a-system-path",
        settings=ini(jre="System Path=C:\\tools\n"),
        env={"Path": long_path},
        exit_code=0,
        check=search_path_fits,
    ),
]

SCENARIOS = CONFIGURATION + CLASS_PATH + LIBRARY + PARAMETERS + OUTPUT + ENVIRONMENT + PATH
