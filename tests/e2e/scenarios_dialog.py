"""The launcher's dialogs, worked from outside by dialog_driver.exe.

JRE Not Found: each scenario starts the launcher where no runtime is found,
so the dialog opens; the driver reads its controls, picks folders through the
real folder browser and ends it. Runtimes to pick lie in the scenario folder.

Java Exception: with "Failure Check" on, main throws; the driver reads the
stack trace in the dialog and answers Ignore or Stop.
"""

import os
import struct
from pathlib import Path

from scenarios_hosting import JARS, app, error, ini, world
from scenarios_registry import RegistryScenario
from scenarios_windows import Like, Scenario, crlf
from wine_registry import RegistryValue

CAPTION = "JRE Not Found"
TEXT = ("The Java Runtime Environment (JRE) was not found. Please  download and install a JRE %s(%s) from:")
ADDRESS = "https://adoptium.net/marketplace/"
APPDATA = {"APPDATA": lambda folder: folder + "\\appdata"}
PRODUCT = "[Product Information]\nProduct Name=Demo\nProduct Code=P1\n"


def settings(jre="", app="", product=PRODUCT) -> bytes:
    return crlf(product) + ini(jre=jre, app=app)


def runtime(folder: str, kind: str = "client"):
    """A Java home with the test VM in bin\\<kind>\\."""
    return {folder + "\\bin\\java.dll": b""}, {folder + "\\bin\\%s\\jvm.dll" % kind: "boot"}


def dialog(name, driver, driver_says=(), jre="", app="", homes=(), files=None, **rest):
    laid_out = dict(JARS)
    vms = {}
    for folder, kind in homes:
        home_files, home_vms = runtime(folder, kind)
        laid_out.update(home_files)
        vms.update(home_vms)
    laid_out["run.ini"] = settings(jre=jre, app=app)
    laid_out.update(files or {})
    rest.setdefault("env", APPDATA)
    kind = RegistryScenario if "registry" in rest else Scenario
    return kind(name=name, exe="run.exe", files=laid_out, vms=vms, vm_scenario=world(), driver=driver,
                    driver_says=driver_says, **rest)


def kept_in(result, relative: str, picked: str, utf16=False, before=""):
    """The file holds the picked folder as JRE Path, as the profile functions
    write it: after the lines `before`, in the code page or, with utf16, as
    UTF-16LE with its byte order mark."""
    path = result.folder.joinpath(*relative.split("\\"))
    text = before + "[Java Runtime Environment]\nJRE Path=%s\\%s\\\n" % (result.folder_windows, picked)
    expected = b"\xff\xfe" + crlf(text).decode("utf-8").encode("utf-16-le") if utf16 else crlf(text)
    if not path.is_file():
        return ["%s was not written" % relative]
    if path.read_bytes() != expected:
        return ["%s holds %r, expected %r" % (relative, path.read_bytes(), expected)]
    return []


# A runtime folder's name in Greek, Cyrillic and Japanese: no ANSI code page
# holds all three.
OTHER_SCRIPTS = "\u03b1\u0436\u5b9f"
READ_ALL = ["text", "203", "text", "205", "text", "206", "text", "201", "enabled", "1"]

SCENARIOS = [
    dialog(
        "dialog-texts-and-cancel",
        ["wait", CAPTION] + READ_ALL + ["text", "202", "shot:dialog-opened", "click", "2", "gone"],
        driver_says=["text 203: " + TEXT % ("", "version between 1.6 and 1.8"), "text 205: " + ADDRESS,
                     "text 206: If you have a JRE installed you can browse for it below:", "text 201: ",
                     "enabled 1: 0", "text 202: Browse..."],
        jre="Maximum Version=1.8\n",
        stdout=b"",
        exit_code=-1,
    ),
    dialog(
        "dialog-server-text-and-close-box",
        ["wait", CAPTION, "text", "203", "closebox", "gone"],
        driver_says=["text 203: " + TEXT % ("with a server JVM ", "minimum version 1.6")],
        jre="JVM Type=server\n",
        stdout=b"",
        exit_code=-1,
    ),
    dialog(
        "dialog-escape-cancels",
        ["wait", CAPTION, "escape", "gone"],
        stdout=b"",
        exit_code=-1,
    ),
    dialog(
        # The application's own address, shown and in the link's tooltip; the
        # hand only over the text.
        "dialog-download-url-and-link",
        ["wait", CAPTION, "text", "205", "tooltip", "205", "cursor", "205", "2", "2", "cursor", "205", "2", "200",
         "click", "2", "gone"],
        driver_says=["text 205: https://example.org/java", "tooltip 205: https://example.org/java", "cursor: hand",
                     "cursor: other"],
        jre="Download URL=https://example.org/java\n",
        exit_code=-1,
    ),
    dialog(
        # A server-only pick of a client runtime keeps OK disabled; a valid
        # pick enables it, an invalid one after it disables it again.
        "dialog-picks-enable-ok-only-for-the-jvm-type",
        ["wait", CAPTION, "browse", "{dir}\\client-only", "text", "201", "enabled", "1",
         "browse", "{dir}\\server-jre", "text", "201", "enabled", "1",
         "browse", "{dir}\\lib", "text", "201", "enabled", "1",
         "browse-cancel", "text", "201", "enabled", "1", "click", "2", "gone"],
        driver_says=["text 201: {dir}\\client-only", "enabled 1: 0", "text 201: {dir}\\server-jre", "enabled 1: 1",
                     "text 201: {dir}\\lib", "enabled 1: 0", "text 201: {dir}\\lib", "enabled 1: 0"],
        jre="JVM Type=server\n",
        homes=(("client-only", "client"), ("server-jre", "server")),
        exit_code=-1,
    ),
    dialog(
        "dialog-favor-server-takes-a-client-runtime",
        ["wait", CAPTION, "browse", "{dir}\\client-only", "enabled", "1", "click", "2", "gone"],
        driver_says=["enabled 1: 1"],
        jre="JVM Type=favor_server\n",
        homes=(("client-only", "client"),),
        exit_code=-1,
    ),
    dialog(
        "dialog-drive-root-has-one-backslash",
        ["wait", CAPTION, "browse", "C:\\", "text", "201", "enabled", "1", "click", "2", "gone"],
        driver_says=["text 201: C:\\", "enabled 1: 0"],
        exit_code=-1,
    ),
    dialog(
        # OK runs the application on the pick and keeps it in the per-user
        # file; the next start finds it there and shows no dialog.
        "dialog-ok-runs-the-pick-and-keeps-it",
        ["wait", CAPTION, "browse", "{dir}\\picked", "enabled", "1", "shot:dialog-picked", "click", "1", "gone"],
        driver_says=["enabled 1: 1"],
        homes=(("picked", "client"),),
        vm_log=["load {dir}\\picked\\bin\\client\\jvm.dll", "call com/example/App.main([Ljava/lang/String;)V ([])"],
        exit_code=0,
        writes=True,
        check=lambda result: kept_in(result, "appdata\\Demo\\P1\\run.ini", "picked"),
        again_exit_code=0,
    ),
    dialog(
        # A folder named in scripts no one ANSI code page holds: the per-user
        # file becomes UTF-16 and keeps it, so the next start finds it.
        "dialog-ok-keeps-a-pick-named-in-other-scripts",
        ["wait", CAPTION, "browse", "{dir}\\" + OTHER_SCRIPTS, "click", "1", "gone"],
        homes=((OTHER_SCRIPTS, "client"),),
        vm_log=["env TARN_JVM_HOME={dir}\\" + OTHER_SCRIPTS],
        exit_code=0,
        writes=True,
        check=lambda result: kept_in(result, "appdata\\Demo\\P1\\run.ini", OTHER_SCRIPTS, utf16=True),
        again_exit_code=0,
    ),
    dialog(
        # The same into a per-user file that exists in the code page: its
        # other lines stay.
        "dialog-ok-keeps-a-pick-named-in-other-scripts-beside-other-lines",
        ["wait", CAPTION, "browse", "{dir}\\" + OTHER_SCRIPTS, "click", "1", "gone"],
        homes=((OTHER_SCRIPTS, "client"),),
        files={"appdata\\Demo\\P1\\run.ini": crlf("[Application]\nKeep=1\n")},
        vm_log=["env TARN_JVM_HOME={dir}\\" + OTHER_SCRIPTS],
        exit_code=0,
        writes=True,
        check=lambda result: kept_in(result, "appdata\\Demo\\P1\\run.ini", OTHER_SCRIPTS, utf16=True,
                                     before="[Application]\nKeep=1\n"),
        again_exit_code=0,
    ),
]

# No per-user file can be written: the start goes on with the pick, writes
# nothing else in its place (the folder stays as it was, the run.ini beside
# the executable byte for byte), and the next start shows the dialog again.
UNWRITABLE = [
    # The per-user folder's place is a file.
    ("folder-is-a-file", {"appdata\\Demo": b"a file where the folder would be"}, ()),
    # The per-user file is read-only.
    ("file-is-read-only", {"appdata\\Demo\\P1\\run.ini": crlf("[Application]\nKeep=1\n")},
     ("appdata\\Demo\\P1\\run.ini",)),
]

SCENARIOS += [
    dialog(
        "dialog-ok-when-the-per-user-file-cannot-be-written-" + name,
        ["wait", CAPTION, "browse", "{dir}\\picked", "click", "1", "gone"],
        homes=(("picked", "client"),),
        files=files,
        read_only=read_only,
        vm_log=["load {dir}\\picked\\bin\\client\\jvm.dll"],
        contents={"run.ini": settings()},
        exit_code=0,
        again_driver=["wait", CAPTION, "text", "201", "click", "2", "gone"],
        again_driver_says=["text 201: "],
        again_exit_code=-1,
    )
    for name, files, read_only in UNWRITABLE
]

# --- the link ------------------------------------------------------------------

# The link opens an http: address. The prefix's handler for http is Wine's
# winebrowser, which runs the first program of the user's "Browsers" list
# with the address: here a script that appends it to opened.txt in the
# scenario folder, what the shell was asked to open, without a browser.
LINK = "http://tarn-e2e.invalid/opened"
OPENED = "{dir}\\opened.txt"


def recording_browser(folder_windows: str) -> str:
    """The Unix path of a script that appends its argument to the folder's
    opened.txt, made beside the prefix's drive_c (outside the scenario folder)."""
    drive_c = Path(os.environ["WINEPREFIX"]) / "drive_c"
    name = folder_windows.rsplit("\\", 1)[-1]
    script = drive_c.parent / "e2e-browser" / (name + ".sh")
    script.parent.mkdir(parents=True, exist_ok=True)
    opened = drive_c.joinpath(*folder_windows[3:].split("\\")) / "opened.txt"
    script.write_text("#!/bin/sh\nprintf '%%s\\r\\n' \"$1\" >> '%s'\n" % opened)
    script.chmod(0o755)
    return str(script)


HANDLER = [
    RegistryValue("Software\\Wine\\WineBrowser", recording_browser, name="Browsers", hive="HKCU", view="64"),
]
# A scheme of the test's own, with the same handler: the shell would open it.
SCHEME = "tarn-e2e-link"
SCHEME_HANDLER = [
    RegistryValue("Software\\Classes\\" + SCHEME, "", name="URL Protocol", view="64"),
    RegistryValue("Software\\Classes\\%s\\shell\\open\\command" % SCHEME,
                  'C:\\windows\\system32\\cmd.exe /c echo %1>>"' + OPENED + '"', name="", view="64"),
]
COLORS_KEY = "Software\\Microsoft\\Internet Explorer\\Settings"
BLUE, PURPLE = "0000ff", "800080"


def anchor_colors(link=None, visited=None):
    """The user's "Anchor Color" and "Anchor Color Visited": a str is REG_SZ
    text with its terminator, a (type, bytes) pair exactly those bytes."""
    values = []
    for name, data in (("Anchor Color", link), ("Anchor Color Visited", visited)):
        if data is None:
            continue
        kind, raw = ("REG_SZ", data) if isinstance(data, str) else data
        values.append(RegistryValue(COLORS_KEY, raw, type=kind, name=name, hive="HKCU", view="64",
                                    exact=not isinstance(data, str)))
    return values


def text(value: str, terminator=True) -> tuple:
    return "REG_SZ", value.encode("utf-16-le") + (b"\0\0" if terminator else b"")


def link_colors(name, link, visited, colors=()):
    """The link in `link` colour before it is opened (Enter), in `visited` after."""
    return dialog(
        name,
        ["wait", CAPTION, "pixels", "205", link, "char", "205", "13", "lines", OPENED, "1", "pixels", "205", visited,
         "click", "2", "gone"],
        driver_says=["pixels 205 %s: yes" % link, "line: " + LINK, "pixels 205 %s: yes" % visited],
        jre="Download URL=%s\n" % LINK,
        registry=HANDLER + list(colors),
        exit_code=-1,
        writes=True,
    )


SCENARIOS += [
    dialog(
        # Enter and Space on the link each open the address through the shell;
        # another key, sent first, opens nothing.
        "dialog-link-enter-and-space-open-it",
        ["wait", CAPTION, "char", "205", "65", "char", "205", "13", "lines", OPENED, "1", "char", "205", "32",
         "lines", OPENED, "2", "click", "2", "gone"],
        driver_says=["line: " + LINK, "line: " + LINK, "line: " + LINK],
        jre="Download URL=%s\n" % LINK,
        registry=HANDLER,
        exit_code=-1,
        writes=True,
        check=lambda result: [] if (result.folder / "opened.txt").read_bytes().count(b"\n") == 2
        else ["opened.txt holds %r: another key opened the link" % (result.folder / "opened.txt").read_bytes()],
    ),
    dialog(
        # Anything but an http: or https: address is plain text, not a link:
        # no hand over it, and Enter opens nothing, though the shell has a
        # handler for it.
        "dialog-link-opens-only-web-addresses",
        ["wait", CAPTION, "text", "205", "cursor", "205", "2", "2", "char", "205", "13", "click", "2", "gone"],
        driver_says=["text 205: %s:opened" % SCHEME, "cursor: other"],
        jre="Download URL=%s:opened\n" % SCHEME,
        registry=SCHEME_HANDLER,
        exit_code=-1,
    ),
    link_colors("dialog-link-default-colors", BLUE, PURPLE),
    link_colors("dialog-link-colors-from-the-registry", "008000", "ff0000",
                anchor_colors("0,128,0", " 255, 0,0")),
    # Malformed values leave the defaults; each would give green if it were taken.
    link_colors("dialog-link-colors-too-long-and-wrong-type", BLUE, PURPLE,
                anchor_colors("000,0128,000", ("REG_BINARY", text("0,128,0")[1]))),
    link_colors("dialog-link-colors-unterminated-and-odd", BLUE, PURPLE,
                anchor_colors(text("0,128,0", terminator=False), ("REG_SZ", text("0,128,0")[1] + b"\0"))),
    link_colors("dialog-link-colors-two-parts-and-empty-parts", BLUE, PURPLE, anchor_colors("1,2", ",,")),
    link_colors("dialog-link-colors-minus-one-and-huge", BLUE, PURPLE,
                anchor_colors("-1,0,0", "999999999999,0,0")),
]

# --- bad input -----------------------------------------------------------------

RT_DIALOG = 5


def renumber_dialog(old: int, new: int):
    """The launcher's bytes with dialog `old` renumbered `new` in its resource
    directory, as if the template were missing. `new` must keep the entries in
    order (the loader searches them by halves)."""

    def damage(image: bytes) -> bytes:
        data = bytearray(image)
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        sections, = struct.unpack_from("<H", data, pe + 6)
        optional_size, = struct.unpack_from("<H", data, pe + 20)
        optional = pe + 24
        magic, = struct.unpack_from("<H", data, optional)
        resources_rva, = struct.unpack_from("<I", data, optional + (96 if magic == 0x10B else 112) + 2 * 8)
        base = None
        for index in range(sections):
            size, address, raw_size, raw = struct.unpack_from("<IIII", data, optional + optional_size + 40 * index + 8)
            if address <= resources_rva < address + max(size, raw_size):
                base = raw + resources_rva - address
        assert base is not None, "no resource section"

        def entries(directory: int):
            named, numbered = struct.unpack_from("<HH", data, base + directory + 12)
            for number in range(named + numbered):
                at = base + directory + 16 + 8 * number
                yield (at,) + struct.unpack_from("<II", data, at)

        for _, kind, target in entries(0):
            if kind == RT_DIALOG and target & 0x80000000:
                for at, name, _ in entries(target & 0x7FFFFFFF):
                    if name == old:
                        struct.pack_into("<I", data, at, new)
                        return bytes(data)
        raise AssertionError("no dialog %d in the launcher" % old)

    return damage


# A picked folder whose path is 259 characters, the most a pick can have;
# the scenario folder is C:\e2e\<arch>\<name>.
LONG_PICK_SCENARIO = "dialog-pick-of-259-characters"
LONG_PICK = "p" * (259 - len("C:\\e2e\\x64\\%s\\" % LONG_PICK_SCENARIO))

SCENARIOS += [
    dialog(
        # Without its template the dialog cannot be shown: the start fails as
        # a cancelled one does, with the text the dialog would have shown.
        "dialog-template-missing",
        [],
        damage=renumber_dialog(201, 230),
        stdout=error("The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
                     "(minimum version 1.6) from: https://adoptium.net/marketplace/"),
        exit_code=-1,
    ),
    dialog(
        # The path is shown whole; the runtime below it is not offered, since
        # its jvm.dll's path is longer than the system's loader takes.
        LONG_PICK_SCENARIO,
        ["wait", CAPTION, "browse", "{dir}\\" + LONG_PICK, "text", "201", "enabled", "1", "click", "2", "gone"],
        driver_says=["text 201: {dir}\\" + LONG_PICK, "enabled 1: 0"],
        homes=((LONG_PICK, "client"),),
        exit_code=-1,
    ),
    dialog(
        # A relative Pair Product names the sibling below the launcher's
        # folder, wherever the start was made from: its per-user file is
        # named after it.
        "dialog-ok-keeps-the-pick-for-a-relative-pair-product",
        ["wait", CAPTION, "browse", "{dir}\\picked", "click", "1", "gone"],
        app="Pair Product=x86\\run32.exe\n",
        homes=(("picked", "client"),),
        files={"elsewhere\\keep.txt": b""},
        cwd="elsewhere",
        vm_log=["load {dir}\\picked\\bin\\client\\jvm.dll"],
        exit_code=0,
        writes=True,
        check=lambda result: kept_in(result, "appdata\\Demo\\P1\\run.ini", "picked")
        + kept_in(result, "appdata\\Demo\\P1\\run32.ini", "picked"),
    ),
]

# --- Java Exception ------------------------------------------------------------

EXCEPTION_CAPTION = "Java Exception"
TRACE_BOX, IGNORE, STOP = "1001", "1002", "1003"
THROWS = world("throw java/lang/IllegalStateException boom")
FAILURE_CHECK = ini(app="Failure Check=Yes\n")
# What the VM prints when the exception is still pending at the detach.
UNCAUGHT = (b'Exception in thread "main" java.lang.IllegalStateException: boom\r\n'
            b"\tat com.example.App.main(Unknown Source)\r\n")
TRACE_SHOWN = ["text 1001: java.lang.IllegalStateException: boom", "\tat com.example.App.main(Unknown Source)"]
TRACE_TAKEN = [
    "ExceptionClear java/lang/IllegalStateException",
    'call java/lang/Throwable.printStackTrace(Ljava/io/PrintWriter;)V on java/lang/IllegalStateException "boom" '
    "(PrintWriter)",
    'return java/io/StringWriter.toString -> "java.lang.IllegalStateException: boom\\x0D\\x0A'
    '\\x09at com.example.App.main(Unknown Source)\\x0D\\x0A"',
]


# The outcome of Ignore: the exception is the VM's again, which reports it at
# the detach, and nothing calls System.exit.
GOES_ON_AS_IGNORED = dict(
    stdout=b"",
    stderr=UNCAUGHT,
    exit_code=1,
    vm_log=TRACE_TAKEN + ["Throw java/lang/IllegalStateException \"boom\"",
                          "DetachCurrentThread main, uncaught java/lang/IllegalStateException", "DestroyJavaVM done"],
    vm_log_excludes=[Like("System.exit.*")],
)


def exception_dialog(name, driver, driver_says=(), vm_scenario=THROWS, **rest):
    """main throws with Failure Check on; the driver answers the dialog (no
    driver when `driver` is empty)."""
    return app(name, settings=FAILURE_CHECK, vm_scenario=vm_scenario,
               driver=["wait", EXCEPTION_CAPTION] + driver if driver else [], driver_says=driver_says, **rest)


SCENARIOS += [
    exception_dialog(
        # Ignore: the exception is the VM's again, which reports it at the
        # detach; the exit code is the one without the setting.
        "exception-dialog-trace-and-ignore",
        ["text", TRACE_BOX, "shot:java-exception", "click", IGNORE, "gone"],
        TRACE_SHOWN,
        **GOES_ON_AS_IGNORED
    ),
    exception_dialog(
        # The close box is no Stop.
        "exception-dialog-close-box-goes-on",
        ["closebox", "gone"],
        exit_code=1,
        vm_log=["DetachCurrentThread main, uncaught java/lang/IllegalStateException"],
    ),
    exception_dialog(
        # Stop: System.exit(-1), through the VM and its exit hook.
        "exception-dialog-stop-exits-minus-1",
        ["text", TRACE_BOX, "click", STOP, "gone"],
        TRACE_SHOWN,
        stdout=b"",
        stderr=b"",
        exit_code=-1,
        vm_log=TRACE_TAKEN + ["call java/lang/System.exit(I)V (-1)", "System.exit -1", "exit hook returned"],
        vm_log_excludes=[Like("Throw .*"), Like("DetachCurrentThread main.*")],
    ),
]

# A message with a NUL (the text box would end there), a right-to-left
# override, a line separator and a lone CR: each is shown as \uXXXX, and the
# trace after them is whole.
HIDING_MESSAGE = "a\0b\u202ec\u2028d\re"

SCENARIOS += [
    exception_dialog(
        "exception-dialog-shows-hiding-characters-escaped",
        ["text", TRACE_BOX, "click", IGNORE, "gone"],
        ["text 1001: java.lang.IllegalStateException: a\\u0000b\\u202Ec\\u2028d\\u000De",
         "\tat com.example.App.main(Unknown Source)"],
        vm_scenario=world("throw java/lang/IllegalStateException " + HIDING_MESSAGE),
        exit_code=1,
        vm_log=["DetachCurrentThread main, uncaught java/lang/IllegalStateException"],
    ),
    exception_dialog(
        # Without its template the dialog cannot be shown: the start goes on
        # as after Ignore, and the VM reports the exception at the detach.
        "exception-dialog-template-missing",
        [],
        damage=renumber_dialog(231, 240),
        **GOES_ON_AS_IGNORED
    ),
]
