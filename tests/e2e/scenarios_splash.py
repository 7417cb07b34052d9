"""Linux end-to-end scenarios of the splash image, run by run_linux with the
real JDK under an Xvfb display of their own: the launcher shows `Splash
Image` through the runtime's libsplashscreen.so, and the application sees it
through java.awt.SplashScreen exactly as under `java -splash:`, the
reference each scenario runs as well. While the splash is up the screen is
read (xwd) and the image's red must be on it.
"""

import os
import struct
import subprocess
import zlib
from pathlib import Path
from typing import List

from scenarios_linux import Context, Scenario, ini
from scenarios_linux_processes import WAIT_SECONDS, expect, open_gate, recorded, wait_until

WIDTH, HEIGHT = 240, 120
RED = (255, 0, 0)
NOT_SHOWN = b": not shown, the library could not show it"


def png(width: int, height: int, rgb=RED) -> bytes:
    raw = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))

    def chunk(kind: bytes, data: bytes) -> bytes:
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


class Display:
    """An Xvfb server on a free display number, for one scenario."""

    def __init__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
                                       pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as numbers:
            self.name = ":" + numbers.readline().strip()

    def pixel_at_centre(self, folder: Path):
        """The colour at the screen's centre, from an xwd dump converted by netpbm."""
        dump = subprocess.run(["xwd", "-root", "-silent", "-display", self.name], stdout=subprocess.PIPE, check=True)
        ppm = subprocess.run(["xwdtopnm"], input=dump.stdout, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             check=True).stdout
        (folder / "screen.ppm").write_bytes(ppm)
        fields = ppm.split(maxsplit=4)
        width, height, body = int(fields[1]), int(fields[2]), fields[4]
        at = ((height // 2) * width + width // 2) * 3
        return tuple(body[at:at + 3])

    def close(self):
        self.server.kill()
        self.server.wait()


def run_java(context: Context, display: Display, image: str):
    """The reference: java -splash: with the same program, its gate open."""
    return subprocess.run([str(context.jdk / "bin" / "java"), "-splash:" + image, "-cp", "lib/probe.jar", "probe.Splash"],
                          cwd=str(context.dir), env=dict(os.environ, DISPLAY=display.name), stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=WAIT_SECONDS)


def splash_shown(context: Context, launches) -> List[str]:
    failures: List[str] = []
    display = Display()
    try:
        launch = launches.start(env={"DISPLAY": display.name})
        if not recorded(context, "up", "splash.log"):
            failures.append("the application never saw its splash screen")
        elif not wait_until(lambda: display.pixel_at_centre(context.dir) == RED):
            failures.append("the screen's centre is %r while the splash is up, not red" %
                            (display.pixel_at_centre(context.dir),))
        open_gate(context)
        code, out, err = launches.finish(launch)
        reference = run_java(context, display, "splash.png")
        expect(failures, "exit code", code, reference.returncode)
        expect(failures, "standard output", out, reference.stdout)
        expect(failures, "standard output", out, b"splash splash.png %dx%d\nclosed\n" % (WIDTH, HEIGHT))
        expect(failures, "standard error", err, b"")
    finally:
        display.close()
    return failures


def without_splash(image: str):
    def procedure(context: Context, launches) -> List[str]:
        failures: List[str] = []
        display = Display()
        try:
            code, out, err = launches.finish(launches.start(env={"DISPLAY": display.name, "TARN_DIAGNOSE": "1"}))
            reference = run_java(context, display, image)
            expect(failures, "exit code", code, reference.returncode)
            expect(failures, "standard output", out, reference.stdout)
            expect(failures, "standard output", out, b"no splash\n")
            diagnosis = b"splash image %s%s" % (bytes(context.dir / image), NOT_SHOWN)
            if diagnosis not in err:
                failures.append("the diagnose mode does not say %r:\n%s" % (diagnosis, err.decode(errors="replace")))
        finally:
            display.close()
        return failures
    return procedure


def splash(name: str, image: str, procedure, files=None) -> Scenario:
    return Scenario("splash-" + name, ini=ini("probe.Splash", jre="Splash Image=%s\n" % image),
                    files={"splash.png": png(WIDTH, HEIGHT), "damaged.png": b"\x89PNG\r\n\x1a\nnot an image", **(files or {})},
                    procedure=procedure)


SCENARIOS = [
    splash("shown-and-closed", "splash.png", splash_shown),
    splash("image-missing", "missing.png", without_splash("missing.png")),
    splash("image-damaged", "damaged.png", without_splash("damaged.png")),
]
