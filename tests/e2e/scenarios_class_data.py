"""Class Data Sharing=auto with the real JDK, run by run_linux with the other
Linux scenarios.

Each scenario keeps its cache in {dir}/cache (XDG_CACHE_HOME), so the
archives live in {dir}/cache/run/class-data/. The starts before the
scenario's own one (the first start, two first starts at once) run in its
`prepare`, with the same environment. probe.Archived with `load` makes JDK 17
print "[warning][cds] Skipping probe.Greeting: Not linked" on standard output
while it writes an archive, so every exact output below also shows that the
VM's archive lines stay off the application's output.
"""

import os
import re
import subprocess
from pathlib import Path
from typing import List

from scenarios_linux import Context, Result, Scenario, diagnosed, ini, passed_through

LOADED = b"loaded probe.Greeting\ndone\n"
LOAD_ARGS = ["load", "lib/util.jar"]
JARS = {"lib/probe.jar": "probe.jar", "lib/util.jar": "util.jar"}
AUTO = "Class Data Sharing=auto\n"
# The application's own -Xlog option, which must keep working: it shows
# whether the application's main class came from the mapped archive (a
# damaged one is mapped first and dropped when its sums do not agree).
CDS_LOG = "-Xlog:cds=info,class+load=info:file={dir}/cds.log"
FROM_ARCHIVE = "probe.Archived source: shared objects file (top)"
COMPLETE = re.compile(r"^[0-9a-f]{8}-[0-9a-f]{16}-(\d+)-[0-9a-f]{16}\.jsa$")
MAGIC = bytes([0xA8, 0xAB, 0x0B, 0xF0])


def auto_ini(vm: str = CDS_LOG, class_path: str = "lib/probe.jar") -> str:
    return ini("probe.Archived", vm=vm, class_path=class_path, jre=AUTO)


def env(diagnose: str = "{dir}/diagnose.log", cache: str = "{dir}/cache"):
    return {"XDG_CACHE_HOME": cache, "TARN_DIAGNOSE": diagnose}


def archive_folder(context: Context) -> Path:
    return context.dir / "cache" / "run" / "class-data"


def start(context: Context, args: List[str], diagnose: str = "diagnose-earlier.log") -> "subprocess.Popen":
    """Another start of the scenario's launcher, as run_linux starts it."""
    environment = {
        "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
        "HOME": os.environ.get("HOME", "/"),
        "LANG": "C.UTF-8",
        "XDG_CACHE_HOME": str(context.dir / "cache"),
        "TARN_DIAGNOSE": str(context.dir / diagnose),
        **passed_through(),
    }
    return subprocess.Popen([str(context.dir / "run")] + args, cwd=str(context.dir), env=environment,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def first_start(context: Context):
    process = start(context, LOAD_ARGS)
    out, err = process.communicate(timeout=120)
    if process.returncode != 0 or out != LOADED:
        raise RuntimeError("the first start gave %d, %r, %r" % (process.returncode, out, err))
    (context.dir / "cds.log").unlink(missing_ok=True)


def archives(context: Context):
    folder = archive_folder(context)
    return sorted(p.name for p in folder.iterdir()) if folder.is_dir() else []


def complete_archives(result: Result, count: int) -> List[str]:
    """The folder holds `count` archives, each of the size its name gives
    and finished (the magic number HotSpot writes last), and nothing else."""
    names = archives(result.context)
    failures = []
    complete = [n for n in names if COMPLETE.match(n)]
    if len(complete) != count or len(names) != count:
        failures.append("expected %d complete archive(s) and nothing else, found %r" % (count, names))
    for name in complete:
        data = (archive_folder(result.context) / name).read_bytes()
        if len(data) != int(COMPLETE.match(name).group(1)) or not data.startswith(MAGIC):
            failures.append("%s is not a finished archive of its size (%d bytes)" % (name, len(data)))
    return failures


def mapped(result: Result) -> List[str]:
    log = result.context.dir / "cds.log"
    text = log.read_text(errors="replace") if log.exists() else ""
    return [] if FROM_ARCHIVE in text else ["cds.log shows no class from the archive:\n" + text[-1500:]]


def not_mapped(result: Result) -> List[str]:
    log = result.context.dir / "cds.log"
    text = log.read_text(errors="replace") if log.exists() else ""
    return ["cds.log shows a class from the archive"] if FROM_ARCHIVE in text else []


def checks(*parts):
    def check(result: Result) -> List[str]:
        failures = []
        for part in parts:
            failures += part(result)
        return failures

    return check


def lines_like(*expected: str):
    """The diagnose file holds lines that match these regular expressions,
    after "tarn: ", in this order."""

    def check(result: Result) -> List[str]:
        log = result.context.dir / "diagnose.log"
        lines = log.read_text(errors="replace").splitlines() if log.exists() else []
        position = 0
        for wanted in expected:
            pattern = re.compile("tarn: " + wanted.replace("{dir}", re.escape(str(result.context.dir))))
            while position < len(lines) and not pattern.fullmatch(lines[position]):
                position += 1
            if position == len(lines):
                return ["diagnose.log lacks a line like %r after the ones before; it holds:\n  %s"
                        % (wanted, "\n  ".join(lines))]
            position += 1
        return []

    return check


FOLDER = r"class data archive {dir}/cache/run/class-data/"
WRITING = FOLDER + r"[0-9a-f]{8}-([0-9a-f]{16})\.\d+\.tmp: written at exit \(none is complete yet\)"
KEPT = FOLDER + r"[0-9a-f]{8}-[0-9a-f]{16}-\d+-[0-9a-f]{16}\.jsa: written, kept for the next start"
MAPPED = FOLDER + r"[0-9a-f]{8}-[0-9a-f]{16}-\d+-[0-9a-f]{16}\.jsa: handed to the VM to map, its size and sum agree"
PASSED_OVER = FOLDER + r"[0-9a-f-]+\.jsa: passed over, changed since it was kept"


def class_path_changed(context: Context):
    first_start(context)
    (context.dir / "before.txt").write_text("\n".join(archives(context)))
    (context.dir / "run.ini").write_text(
        context.fill(auto_ini(class_path="lib/probe.jar;lib/util.jar")), encoding="utf-8")


def another_archive(result: Result) -> List[str]:
    before = (result.context.dir / "before.txt").read_text().split()
    after = archives(result.context)
    return ["the archive %r stayed after the class path changed (now %r)" % (before, after)] if set(before) & set(
        after) else []


def damage(how: str):
    """The first start's archive, damaged under its name (`cut` keeps only
    its first 64 KiB; its name then gives another size), or replaced."""

    def prepare(context: Context):
        first_start(context)
        [name] = archives(context)
        path = archive_folder(context) / name
        data = bytearray(path.read_bytes())
        path.chmod(0o644)
        if how == "header":
            # Past the magic number, over the header's fields.
            data[16:4096] = os.urandom(4080)
        elif how == "body":
            data[len(data) // 2:len(data) // 2 + 20000] = os.urandom(20000)
        elif how == "cut":
            data = data[:65536]
        elif how == "zeros":
            data = bytearray(len(data))
        path.write_bytes(bytes(data))

    return prepare


def archive_sum(data: bytes) -> int:
    """The sum the launcher keeps in an archive's name, so that an archive
    of another runtime passes the launcher's checks and reaches the VM."""
    mask = (1 << 64) - 1
    total = (0x84222325CBF29CE4 ^ len(data)) & mask
    whole = len(data) - len(data) % 8
    for i in range(0, whole, 8):
        total = ((total ^ int.from_bytes(data[i:i + 8], "little")) * 0x9E3779B97F4A7C15) & mask
        total ^= total >> 29
    for byte in data[whole:]:
        total = ((total ^ byte) * 0x100000001B3) & mask
    return total


def other_runtime_archive(context: Context):
    """An archive that another JDK wrote for the same jar, under the name the
    launcher maps; without a second JDK, the first start's archive with the
    header's version field changed."""
    first_start(context)
    [name] = archives(context)
    path = archive_folder(context) / name
    others = [p for p in Path("/usr/lib/jvm").glob("*/bin/java")
              if p.resolve().parent.parent != context.jdk.resolve() and not p.parent.parent.is_symlink()]
    other_archive = context.dir / "other.jsa"
    for java in others:
        subprocess.run([str(java), "-XX:ArchiveClassesAtExit=" + str(other_archive), "-Xlog:disable", "-cp",
                        str(context.dir / "lib" / "probe.jar"), "probe.Archived", "load", "lib/util.jar"],
                       cwd=str(context.dir), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if other_archive.is_file() and other_archive.read_bytes().startswith(MAGIC):
            break
    if other_archive.is_file():
        data = other_archive.read_bytes()
        (context.dir / "other-runtime.txt").write_text("written by another JDK")
    else:
        data = bytearray(path.read_bytes())
        data[8:12] = bytes([0x7F, 0, 0, 0])
        data = bytes(data)
        (context.dir / "other-runtime.txt").write_text("version field changed")
    path.unlink()
    stem = name[: len("01234567-0123456789abcdef")]
    (archive_folder(context) / ("%s-%d-%016x.jsa" % (stem, len(data), archive_sum(data)))).write_bytes(data)


def two_first_starts(context: Context):
    """Two first starts at once: each waits at its gate until both are
    running, so both write an archive at the same moment."""
    gate = context.dir / "open"
    processes = [start(context, ["gate", str(context.dir / ("ready%d" % i)), str(gate)],
                       diagnose="diagnose-%d.log" % i) for i in (1, 2)]
    try:
        for i in (1, 2):
            ready = context.dir / ("ready%d" % i)
            while not ready.exists():
                try:
                    processes[i - 1].wait(timeout=0.01)
                    raise RuntimeError("start %d ended before its gate" % i)
                except subprocess.TimeoutExpired:
                    pass
        gate.write_text("")
        report = []
        for i, process in enumerate(processes, 1):
            out, err = process.communicate(timeout=120)
            report.append("start %d: %d %r %r" % (i, process.returncode, out, err))
        (context.dir / "first-starts.txt").write_text("\n".join(report))
        (context.dir / "after-first-starts.txt").write_text("\n".join(archives(context)))
    finally:
        for process in processes:
            if process.poll() is None:
                process.kill()


def both_ran(result: Result) -> List[str]:
    report = (result.context.dir / "first-starts.txt").read_text().splitlines()
    expected = ["start %d: 0 %r b''" % (i, b"passed the gate\ndone\n") for i in (1, 2)]
    failures = [] if report == expected else ["the two first starts gave %r, expected %r" % (report, expected)]
    left = (result.context.dir / "after-first-starts.txt").read_text().split()
    # The second to finish finds the first one's archive and drops its own.
    if len(left) != 1 or not COMPLETE.match(left[0]):
        failures.append("the two first starts left %r, not one complete archive" % left)
    return failures


def read_only_cache(context: Context):
    folder = archive_folder(context)
    folder.mkdir(parents=True)
    folder.chmod(0o555)


SCENARIOS = [
    # The reference: the same application without the key.
    Scenario("class-data-off-output", ini=ini("probe.Archived", class_path="lib/probe.jar"), jars=JARS,
             args=LOAD_ARGS, env=env(), stdout=LOADED,
             check=lambda result: ["a cache folder was made"] if (result.context.dir / "cache").exists() else []),
    Scenario("class-data-first-start-writes", ini=auto_ini(), jars=JARS, args=LOAD_ARGS, env=env(), stdout=LOADED,
             check=checks(lambda r: complete_archives(r, 1), not_mapped, lines_like(WRITING, KEPT))),
    Scenario("class-data-second-start-maps", ini=auto_ini(), jars=JARS, args=LOAD_ARGS, env=env(),
             prepare=first_start, stdout=LOADED,
             check=checks(lambda r: complete_archives(r, 1), mapped, lines_like(MAPPED))),
    # The VM writes its archive before it calls the exit hook, where the
    # launcher moves it into place.
    Scenario("class-data-written-after-system-exit", ini=auto_ini(), jars=JARS, args=LOAD_ARGS + ["exit", "3"],
             env=env(), exit_code=3, stdout=b"loaded probe.Greeting\nexiting with 3\n",
             check=checks(lambda r: complete_archives(r, 1), lines_like(WRITING, r"exit code 3: System.exit", KEPT))),
    Scenario("class-data-class-path-change", ini=auto_ini(), jars=JARS, args=LOAD_ARGS, env=env(),
             prepare=class_path_changed, stdout=LOADED,
             check=checks(lambda r: complete_archives(r, 1), another_archive, not_mapped,
                          lines_like(FOLDER + r"[0-9a-f-]+\.jsa: removed, stale", WRITING, KEPT))),
    # A folder on the class path: HotSpot's dump would end the VM with an
    # error at exit (exit code 1), so nothing is written.
    Scenario("class-data-folder-on-class-path", ini=auto_ini(class_path="lib/probe.jar;lib"), jars=JARS,
             args=LOAD_ARGS, env=env(), stdout=LOADED,
             check=checks(lambda r: complete_archives(r, 0),
                          lines_like(r"class data archive: none, the class path holds a folder"))),
    Scenario("class-data-own-archive-option-wins", ini=auto_ini(vm=CDS_LOG + " -Xshare:off"), jars=JARS,
             args=LOAD_ARGS, env=env(), stdout=LOADED,
             check=checks(lambda r: complete_archives(r, 0), not_mapped,
                          lines_like(r"class data archive: none, the VM parameters set their own class data sharing"))),
    Scenario("class-data-other-runtime-archive", ini=auto_ini(), jars=JARS, args=LOAD_ARGS, env=env(),
             prepare=other_runtime_archive, stdout=LOADED,
             check=checks(not_mapped, lines_like(MAPPED))),
    Scenario("class-data-cache-cannot-be-made", ini=auto_ini(), jars=JARS, args=LOAD_ARGS,
             env=env(cache="/proc/self/cache"), stdout=LOADED,
             check=lines_like(r"class data archive: none, the cache folder cannot be made")),
    # As root the folder is written all the same; either way the start runs.
    Scenario("class-data-read-only-cache", ini=auto_ini(), jars=JARS, args=LOAD_ARGS, env=env(),
             prepare=read_only_cache, stdout=LOADED,
             check=checks(lambda r: [] if os.geteuid() == 0 else complete_archives(r, 0),
                          lambda r: [] if os.geteuid() == 0 else lines_like(
                              r"class data archive: none, the cache folder cannot be written")(r))),
    Scenario("class-data-two-first-starts", ini=auto_ini(), jars=JARS, args=LOAD_ARGS, env=env(),
             prepare=two_first_starts, stdout=LOADED,
             check=checks(both_ran, lambda r: complete_archives(r, 1), mapped, lines_like(MAPPED))),
]

# A damaged archive under the name the launcher keeps: its size or sum no
# longer agrees with the name, so it is passed over and written again; the
# start runs either way. (A JDK 17 VM given one cut short crashes, and one
# damaged past its header runs on what it holds.)
SCENARIOS += [
    Scenario("class-data-damaged-archive-" + how, ini=auto_ini(), jars=JARS, args=LOAD_ARGS, env=env(),
             prepare=damage(how), stdout=LOADED,
             check=checks(lines_like(PASSED_OVER, FOLDER + r"[0-9a-f-]+\.jsa: removed, stale", WRITING, KEPT),
                          not_mapped, lambda r: complete_archives(r, 1)))
    for how in ("header", "body", "cut", "zeros")
]
