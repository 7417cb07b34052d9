"""End-to-end scenarios of the windowless launcher (tarnw.exe, tarnw32.exe),
run by run_windows: the same launcher for the GUI subsystem. Its errors
appear in a message box titled with the executable's name, which the dialog
driver reads and dismisses; where standard output was handed to it (as
exitcode.exe does) the line goes there as well.
"""

import struct

from scenarios_hosting import CREATED, app, ini, load_failed, world
from scenarios_windows import MISSING_MAIN_CLASS, Result, Scenario


def gui_subsystem(result: Result):
    """The launcher's optional header names the Windows GUI subsystem (2)."""
    data = (result.folder / "run.exe").read_bytes()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    subsystem = struct.unpack_from("<H", data, header + 24 + 68)[0]
    return [] if subsystem == 2 else ["run.exe has subsystem %d, not the GUI subsystem (2)" % subsystem]


SCENARIOS = [
    Scenario(
        name="windowless-error-in-a-message-box",
        exe="run.exe",
        windowless=True,
        files={"run.ini": ini(main="")},
        driver=["wait", "run", "message", "click", "1", "gone"],
        driver_says=["message: Main class was not specified in INI file."],
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    Scenario(
        # A window station of its own, as a service's: no box waits there.
        name="windowless-error-without-a-desktop",
        exe="run.exe",
        windowless=True,
        files={"run.ini": ini(main="")},
        hidden_desktop=True,
        stdout=MISSING_MAIN_CLASS,
        exit_code=-1,
    ),
    app(
        # The application runs as from tarn.exe; the file is a GUI-subsystem
        # program, for which Windows opens no console.
        "windowless-runs-the-application",
        vm_scenario=world("print out windowless"),
        windowless=True,
        vm_log=[CREATED],
        stdout=b"windowless\r\n",
        exit_code=0,
        check=gui_subsystem,
    ),
    app(
        # A library that is no image: its message in the box, then -1.
        "windowless-library-error-in-a-message-box",
        homes=(),
        files={"jre64\\bin\\java.dll": b"", "jre64\\bin\\client\\jvm.dll": b"not a library\r\n"},
        windowless=True,
        driver=["wait", "run", "message", "click", "1", "gone"],
        driver_says=["message: Failed to load Java VM library: {dir}\\jre64\\bin\\client\\jvm.dll (errno = 193)."],
        stdout=load_failed("jre64\\bin\\client\\jvm.dll", 193),
        exit_code=-1,
    ),
]
