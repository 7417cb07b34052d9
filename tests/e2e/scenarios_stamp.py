"""End-to-end scenarios of stamped launchers, run by run_windows: the Linux
tarn-stamp writes the application's icon, version information, manifest
choices and built-in settings into a copy of the launcher (made twice, which
must change nothing), stampcheck.exe reads them back through the system's
resource and version functions, and the stamped file runs the application
with no configuration file beside it. A file planted beside it sets no key
that chooses the code to run unless the stamp opened them.
"""

import struct
import zlib

from scenarios_hosting import CLASS_PATH, CREATED, JARS, LOAD_PRIVATE, MAIN_END, MAIN_SIGNATURE, error, home, world
from scenarios_windows import Like, Result, Scenario, crlf


def png(size: int) -> bytes:
    """A real PNG image, size x size, one colour."""
    def chunk(kind: bytes, data: bytes) -> bytes:
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b"".join(b"\x00" + b"\x20\x60\xa0\xff" * size for _ in range(size))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def dib(size: int) -> bytes:
    """A 32-bit icon image: BITMAPINFOHEADER (height doubled), pixels, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    mask_row = ((size + 31) // 32) * 4
    return header + b"\x10\x80\x30\xff" * (size * size) + b"\x00" * (mask_row * size)


def icon_file(images) -> bytes:
    """An .ico holding the images, given as (width, bits, bytes)."""
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, bits, image in images:
        side = 0 if width == 256 else width
        data += struct.pack("<BBBBHHII", side, side, 0, 0, 1, bits, len(image), offset)
        offset += len(image)
    return data + b"".join(image for _, _, image in images)


def fnv(data: bytes) -> int:
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return value


ICON_IMAGES = [(16, 32, dib(16)), (32, 32, dib(32)), (256, 32, png(256))]
ICON = icon_file(ICON_IMAGES)

VERSION = {
    "--product-name": "Ledger Desk",
    "--company": "Fjord Software",
    "--description": "Ledger Desk \u00e9dition",
    "--copyright": "\u00a9 2026 Fjord Software",
    "--product-version": "2.5",
    "--file-version": "2.5.1.7",
}

APP_SETTINGS = crlf(
    "; the application's settings, built in\n"
    "[Java Runtime Environment]\n"
    "main class = com.example.App\n"
    "JRE Path=jre64\n"
    "Minimum Version=1.6\n"
    "[Class Path]\n"
    "Class Path=\\lib\\*.jar\n"
)
BUILT_IN_LINES = [
    "[Java Runtime Environment]",
    "Main Class=com.example.App",
    "JRE Path=jre64",
    "Minimum Version=1.6",
    "[Class Path]",
    "Class Path=\\lib\\*.jar",
    "[Built-in Settings]",
]

STAMP = [
    "--icon", "app.ico",
    *[part for option, value in VERSION.items() for part in (option, value)],
    "--execution-level", "highestAvailable",
    "--dpi-awareness", "system",
    "--long-path-aware", "yes",
    "--settings", "app.ini",
]


def sections(resources: str):
    """The lines before the manifest, the manifest text and the settings lines."""
    head, _, rest = resources.partition("manifest:\n")
    manifest, _, settings = rest.partition("settings:\n")
    return head.splitlines(), manifest, [line for line in settings.replace("\r\n", "\n").split("\n") if line]


def resources_as_asked(open_to_file: str):
    def check(result: Result):
        failures = []
        head, manifest, settings = sections(result.resources)
        expected_head = ["icons: %d" % len(ICON_IMAGES), "group #1: %d" % len(ICON_IMAGES)]
        for number, (width, bits, image) in enumerate(ICON_IMAGES, 1):
            expected_head.append("icon %d: %dx%d %d bpp %d bytes fnv %08x" % (number, width, width, bits, len(image), fnv(image)))
        expected_head += [
            "version: file 2.5.1.7 product 2.5.0.0",
            "translation: 0409 04b0",
            "ProductName: Ledger Desk",
            "CompanyName: Fjord Software",
            "FileDescription: Ledger Desk \u00e9dition",
            "LegalCopyright: \u00a9 2026 Fjord Software",
            "OriginalFilename: run.exe",
            "InternalName: run",
            "ProductVersion: 2.5",
            "FileVersion: 2.5.1.7",
        ]
        if head != expected_head:
            failures.append("read back:\n  %s\nexpected:\n  %s" % ("\n  ".join(head), "\n  ".join(expected_head)))
        for wanted in ('level="highestAvailable"', ">true</dpiAware>",
                       '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>',
                       "Microsoft.Windows.Common-Controls"):
            if wanted not in manifest:
                failures.append("the manifest lacks %s:\n%s" % (wanted, manifest))
        if "dpiAwareness" in manifest:
            failures.append("the manifest asks for per-monitor awareness:\n%s" % manifest)
        expected_settings = BUILT_IN_LINES + ["Open To File=" + open_to_file]
        if settings != expected_settings:
            failures.append("built-in settings %r, expected %r" % (settings, expected_settings))
        return failures
    return check


def stamped(name: str, files=None, vms=None, stamp=STAMP, vm_scenario=None, **rest):
    """run.exe stamped with the application's settings, beside the jars and
    the private runtime jre64, with no run.ini unless `files` brings one."""
    laid_out = dict(JARS)
    home_files, home_vms = home("jre64")
    laid_out.update(home_files)
    laid_out.update(files or {})
    return Scenario(
        name=name,
        exe="run.exe",
        files=laid_out,
        vms={**home_vms, **(vms or {})},
        vm_scenario=world() if vm_scenario is None else vm_scenario,
        stamp=stamp,
        stamp_files={"app.ico": ICON, "app.ini": APP_SETTINGS},
        **rest
    )


PLANTED = crlf(
    "[Java Runtime Environment]\n"
    "JRE Path=planted\n"
    "Main Class=planted.Main\n"
    "Virtual Machine Parameters=-Dplanted=parameters\n"
    "Library Path=planted-native\n"
    "[Java Runtime Environment+]\n"
    "Virtual Machine Parameters=-javaagent:planted.jar\n"
    "[Class Path]\n"
    "Class Path=planted.jar\n"
    "[Application]\n"
    "Embedded Jar=Yes\n"
    "Output File=out.log\n"
)
WALK_AROUND = crlf(
    "[Product Information]\n"
    "Product Name=x\n"
    "Product Code=..\\..\\..\n"
    "[Java Runtime Environment]\n"
    "JRE Path=planted\n"
    "System Path=planted-bin\n"
    "Download URL=planted.exe\n"
    "[Application]\n"
    "Override WorkingDir=Yes\n"
    "Output File=out.log\n"
    "Error File=err.log\n"
    "Cmd=planted-argument\n"
)
PLANTED_RUNTIME = {"planted\\bin\\java.dll": b""}
MAIN_CALL = "call com/example/App.main%s ([])" % MAIN_SIGNATURE

SCENARIOS = [
    stamped(
        "stamped-runs-with-its-built-in-settings",
        vm_scenario=world("print out stamped"),
        read_resources=True,
        vm_log=[LOAD_PRIVATE, CLASS_PATH, CREATED, MAIN_CALL, *MAIN_END],
        stdout=b"stamped\r\n",
        exit_code=0,
        check=resources_as_asked("No"),
    ),
    stamped(
        # The planted file sets nothing that chooses the code: not the
        # runtime, the main class, the class path, the parameters, the
        # native library folder, and not where the output goes.
        "stamped-ignores-code-choices-beside-it",
        files={"run.ini": PLANTED, **PLANTED_RUNTIME},
        vms={"planted\\bin\\client\\jvm.dll": "boot"},
        vm_scenario=world("print out stamped"),
        vm_log=[LOAD_PRIVATE, CLASS_PATH, CREATED, MAIN_CALL],
        vm_log_excludes=[Like(".*planted.*"), Like(r"option -Djava\.class\.path=.*run\.exe.*")],
        absent=["out.log"],
        stdout=b"stamped\r\n",
        exit_code=0,
    ),
    stamped(
        # The walk around the lock: Product Code leads the per-user file
        # back to the planted file itself, whose JRE Path would then win;
        # and keys that choose where the launcher reads, writes and looks
        # for programs. The per-user path is refused, every key ignored.
        "stamped-lock-holds-against-a-walk-around",
        files={"run.ini": WALK_AROUND, **PLANTED_RUNTIME},
        vms={"planted\\bin\\client\\jvm.dll": "boot"},
        env={"APPDATA": lambda folder: folder + "\\AppData\\Roaming"},
        vm_scenario=world("print out stamped", "print err stamped"),
        vm_log=[LOAD_PRIVATE, CLASS_PATH, CREATED, MAIN_CALL, *MAIN_END],
        vm_log_excludes=[Like(".*planted.*")],
        absent=["out.log", "err.log"],
        stdout=lambda folder: error(
            "Product Name 'x' and Product Code '..\\..\\..' do not each name one folder below "
            "%s\\AppData\\Roaming: no per-user file is read or written." % folder) + b"stamped\r\n",
        exit_code=0,
    ),
    stamped(
        # What a file beside may still do: add memory sizes after the
        # built-in parameters and say whether output is appended.
        "stamped-file-beside-adds-memory-sizes",
        files={"run.ini": crlf("[Java Runtime Environment+]\nVirtual Machine Parameters=-Xmx64m -Xss2m\n"
                               "[Application]\nFailure Check=Yes\n")},
        vm_log=[LOAD_PRIVATE, CLASS_PATH, "option -Xmx64m", "option -Xss2m", CREATED, MAIN_CALL],
        exit_code=0,
    ),
    stamped(
        "stamped-open-to-the-file-beside-it",
        stamp=STAMP + ["--open-to-file"],
        files={"run.ini": crlf("[Java Runtime Environment]\nVirtual Machine Parameters=-Dfrom.file=yes\n")},
        read_resources=True,
        vm_log=[LOAD_PRIVATE, "option -Dfrom.file=yes", CREATED, MAIN_CALL],
        exit_code=0,
        check=resources_as_asked("Yes"),
    ),
    stamped(
        "stamped-and-signed-runs",
        sign=True,
        vm_scenario=world("print out signed"),
        stdout=b"signed\r\n",
        exit_code=0,
    ),
]
