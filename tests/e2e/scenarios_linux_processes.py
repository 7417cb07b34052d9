"""Linux end-to-end scenarios with several processes at once, run by run_linux:
the single-instance guard (a first instance and second starts of one launcher)
and the systemd service (signals, and a test socket in place of systemd's
notify socket).

A scenario's `procedure` starts the launchers through Launches and orders
them by gates: the Java programs (tests/java/Instance.java, VoidInstance.java,
NoSecondary.java, Service.java) record each event in a file of the scenario
folder and wait for files the procedure makes; the procedure waits for those
records, for a line of the diagnose mode, or for a datagram. Each launcher
gets its own XDG_RUNTIME_DIR (a fresh private folder under /tmp, short enough
for a socket's address) unless the scenario says otherwise.
"""

import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time
from pathlib import Path
from typing import Callable, Dict, List, Optional, Sequence

from scenarios_linux import Context, Scenario, error_line, ini

# Every wait of a procedure ends by then; a launch still running is killed.
WAIT_SECONDS = 60
GUARD = "Single Instance=yes\n"
SERVICE = "Application Type=service\n"
GAVE_UP = 1460 & 0xFF  # the shell's view of 1460


class Launches:
    """Starts copies of the scenario's launcher and collects their ends."""

    def __init__(self, context: Context, environment: Dict[str, str]):
        self.context = context
        self.environment = dict(environment)
        self.runtime = Path(tempfile.mkdtemp(prefix="tarn-e2e-"))
        self.environment["XDG_RUNTIME_DIR"] = str(self.runtime)
        self.running: List[subprocess.Popen] = []

    def start(self, args: Sequence[str] = (), env: Optional[Dict[str, Optional[str]]] = None, exe: str = "run"):
        environment = dict(self.environment)
        for name, value in (env or {}).items():
            if value is None:
                environment.pop(name, None)
            else:
                environment[name] = value
        process = subprocess.Popen(
            [str(self.context.dir / exe)] + list(args),
            cwd=str(self.context.dir),
            env=environment,
            stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
        )
        self.running.append(process)
        return process

    def finish(self, process: subprocess.Popen):
        """(exit code, stdout, stderr); exit code None when it did not end in time."""
        try:
            out, err = process.communicate(timeout=WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            process.kill()
            out, err = process.communicate()
            return None, out, err
        return process.returncode, out, err

    def end_all(self) -> List[str]:
        failures = []
        for process in self.running:
            if process.poll() is None:
                process.kill()
                failures.append("launch %r was still running at the end" % process.args[1:])
            process.communicate()
        shutil.rmtree(self.runtime, ignore_errors=True)
        return failures


def wait_until(condition: Callable[[], bool]) -> bool:
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.01)
    return condition()


def records(context: Context, name: str = "instance.log") -> List[str]:
    path = context.dir / name
    return path.read_text(encoding="utf-8").splitlines() if path.exists() else []


def recorded(context: Context, line: str, name: str = "instance.log") -> bool:
    return wait_until(lambda: line in records(context, name))


def open_gate(context: Context, gate: str = "gate"):
    (context.dir / gate).touch()


def read_stderr_until(process: subprocess.Popen, text: bytes) -> bytes:
    """Reads the launch's standard error until `text` has come (or it ends)."""
    seen = b""
    while text not in seen:
        chunk = os.read(process.stderr.fileno(), 4096)
        if not chunk:
            break
        seen += chunk
    return seen


def expect(failures: List[str], what: str, got, wanted):
    if got != wanted:
        failures.append("%s: %r, expected %r" % (what, got, wanted))


# --- single instance ------------------------------------------------------------

TAKEN = b"single instance: the running copy took the arguments"
GUARD_FILES = b"single instance: /"
LONGEST = "x" * 518  # 518 units, its NUL and the list's closing NUL: 1040 bytes


def first_runs(context: Context, launches: Launches, args: Sequence[str] = ("first",), env=None):
    first = launches.start(args, env)
    started = recorded(context, "main" + "".join(" [%s]" % a for a in args))
    return first, started


def arguments_reach_secondary_main(context: Context, launches: Launches) -> List[str]:
    failures = []
    first, started = first_runs(context, launches)
    if not started:
        return ["the first instance did not start main"]
    # (arguments, its answer, what secondaryMain recorded)
    cases = [
        (["a", "b"], 42, "secondary [a] [b]"),
        (["a", "", "b"], 43, "secondary [a] [] [b]"),
        ([""], 41, "secondary []"),
        # No arguments reach it as one empty string, as on Windows.
        ([], 41, "secondary []"),
        (["é", "日本", "😀"], 43, "secondary [\\u00E9] [\\u65E5\\u672C] [\\uD83D\\uDE00]"),
        ([LONGEST], 41, "secondary [%s]" % LONGEST),
    ]
    for args, answer, line in cases:
        code, out, err = launches.finish(launches.start(args))
        expect(failures, "second start %r exit code" % args[:3], code, answer)
        expect(failures, "second start %r output" % args[:3], (out, err), (b"", b""))
    # One unit more does not fit: it ends at once and nothing is called.
    code, out, err = launches.finish(launches.start([LONGEST + "x"]))
    expect(failures, "too long: exit code", code, 255)
    open_gate(context)
    expect(failures, "first instance", launches.finish(first), (0, b"", b""))
    expect(failures, "records", records(context), ["main [first]"] + [line for _, _, line in cases])
    return failures


def void_form_answers_first(context: Context, launches: Launches) -> List[str]:
    failures = []
    first, started = first_runs(context, launches)
    if not started:
        return ["the first instance did not start main"]
    # secondaryMain waits for gate2, which is not there yet: the second start
    # ends all the same.
    expect(failures, "second start", launches.finish(launches.start(["x", "ü"])), (0, b"", b""))
    open_gate(context, "gate2")
    if not recorded(context, "secondary [x] [\\u00FC]"):
        failures.append("secondaryMain did not record its arguments")
    open_gate(context)
    expect(failures, "first instance", launches.finish(first), (0, b"", b""))
    return failures


CROWD = ["s%02d" % i for i in range(20)]
# The forwarding JVM library of the scenario's runtime waits at
# JNI_CreateJavaVM until this file exists (tests/e2e/jvm_forwarder_posix.c).
CREATE_GATE = "gate-create"


def vm_creation_waits(context: Context) -> bool:
    return wait_until(lambda: (context.dir / (CREATE_GATE + ".waiting")).exists())


def twenty_at_once(context: Context, launches: Launches) -> List[str]:
    """Twenty second starts at once while the first instance creates its VM:
    they wait for it, and each is answered once."""
    failures = []
    first = launches.start(["first"], {"TARN_FORWARDER_GATE": str(context.dir / CREATE_GATE)})
    if not vm_creation_waits(context):
        return ["the first instance did not reach JNI_CreateJavaVM"]
    crowd = {name: launches.start([name, "t" + name[1:]], {"TARN_DIAGNOSE": "1"}) for name in CROWD}
    # Each has reached the guard (the line names its files): one is taken
    # and waits for main, the others for their turn.
    for name, process in crowd.items():
        if GUARD_FILES not in read_stderr_until(process, GUARD_FILES):
            failures.append("second start %s did not reach the guard" % name)
    open_gate(context, CREATE_GATE)
    for name, process in crowd.items():
        expect(failures, "second start %s" % name, launches.finish(process)[0], 42)
    open_gate(context)
    expect(failures, "first instance", launches.finish(first), (0, b"", b""))
    # main and the first secondaryMain may record in either order: requests
    # are served from the moment main is about to be called.
    lines = records(context)
    if "main [first]" not in lines:
        failures.append("main did not run: %r" % lines)
    served = sorted(line for line in lines if line.startswith("secondary "))
    expect(failures, "secondaryMain calls", served, sorted("secondary [%s] [t%s]" % (n, n[1:]) for n in CROWD))
    return failures


UNANSWERED = b"Error: The running copy of {exe} took the arguments and ended without answering.\n \n"


def first_killed(context: Context, launches: Launches) -> List[str]:
    """SIGKILL while main waits, and again while secondaryMain serves a
    request: the lock goes with the process, and the next start runs."""
    failures = []
    first, started = first_runs(context, launches)
    if not started:
        return ["the first instance did not start main"]
    first.send_signal(signal.SIGKILL)
    expect(failures, "first instance", launches.finish(first)[0], -signal.SIGKILL)
    second, started = first_runs(context, launches, ["second"])
    if not started:
        return failures + ["the start after the killed one did not run main"]
    waiting = launches.start(["wait"])
    if not recorded(context, "secondary [wait]"):
        return failures + ["secondaryMain was not called"]
    second.send_signal(signal.SIGKILL)
    expect(failures, "second instance", launches.finish(second)[0], -signal.SIGKILL)
    unanswered = UNANSWERED.replace(b"{exe}", str(context.dir / "run").encode())
    expect(failures, "the start it was serving", launches.finish(waiting), (255, unanswered, b""))
    third, started = first_runs(context, launches, ["third"])
    if not started:
        failures.append("the start after the second killed one did not run main")
    open_gate(context)
    expect(failures, "third instance", launches.finish(third), (0, b"", b""))
    return failures


def no_secondary_main(main_args: Sequence[str], code: int):
    """The running copy cannot answer; the second start ends with its exit
    code once it ends: from System.exit, or the run's own."""

    def procedure(context: Context, launches: Launches) -> List[str]:
        failures = []
        first, started = first_runs(context, launches, main_args)
        if not started:
            return ["the first instance did not start main"]
        second = launches.start(["x"], {"TARN_DIAGNOSE": "1"})
        if TAKEN not in read_stderr_until(second, TAKEN):
            failures.append("the second start never said its arguments were taken")
        open_gate(context)
        expect(failures, "first instance", launches.finish(first)[0], code)
        expect(failures, "second start", launches.finish(second)[0], code)
        return failures

    return procedure


def answer_never_comes(context: Context, launches: Launches) -> List[str]:
    failures = []
    first, started = first_runs(context, launches)
    if not started:
        return ["the first instance did not start main"]
    message = error_line("The running copy of %s did not answer within 20 seconds; giving up.\n" % (context.dir / "run"))
    expect(failures, "second start", launches.finish(launches.start(["wait"])), (GAVE_UP, message, b""))
    open_gate(context, "gate2")
    open_gate(context)
    expect(failures, "first instance", launches.finish(first), (0, b"", b""))
    return failures


def fnv1a64(data: bytes) -> int:
    value = 0xCBF29CE484222325
    for byte in data:
        value = ((value ^ byte) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return value


def guard_stem(context: Context, folder: Path) -> Path:
    return folder / ("tarn-%016x" % fnv1a64(str(context.dir / "run").encode()))


def lock_held_elsewhere(context: Context, launches: Launches) -> List[str]:
    """Another process holds the guard's lock and never listens: the start's
    turn never comes."""
    import fcntl

    folder = launches.runtime / "tarn"
    folder.mkdir(mode=0o700)
    with open(str(guard_stem(context, folder)) + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        message = error_line(
            "Another start of %s kept the single-instance lock for 20 seconds; giving up.\n" % (context.dir / "run"))
        result = launches.finish(launches.start(["x"]))
    return [] if result == (GAVE_UP, message, b"") and not records(context) else ["start: %r" % (result,)]


def socket_of_another_user(context: Context, launches: Launches) -> List[str]:
    """A process of another user holds the lock and listens on the guard's
    socket (made by root, which can): the start does not talk to it and runs
    alone."""
    if os.geteuid() != 0:
        return []
    import fcntl

    folder = launches.runtime / "tarn"
    folder.mkdir(mode=0o700)
    stem = str(guard_stem(context, folder))
    ready_read, ready_write = os.pipe()
    child = os.fork()
    if child == 0:
        try:
            lock = open(stem + ".lock", "w")
            fcntl.flock(lock, fcntl.LOCK_EX)
            listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            listener.bind(stem + ".socket")
            os.setgid(65534)
            os.setuid(65534)
            listener.listen(5)
            os.write(ready_write, b"r")
            while True:
                connection, _ = listener.accept()
                connection.close()
        finally:
            os._exit(0)
    os.close(ready_write)
    try:
        os.read(ready_read, 1)
        first = launches.start(["alone"], {"TARN_DIAGNOSE": "1"})
        failures = [] if recorded(context, "main [alone]") else ["the start did not run alone"]
        open_gate(context)
        code, _, err = launches.finish(first)
        expect(failures, "exit code", code, 0)
        if b"is not this user's; running alone" not in err:
            failures.append("the diagnose mode did not say why it ran alone: %r" % err[-600:])
        return failures
    finally:
        os.kill(child, signal.SIGKILL)
        os.waitpid(child, 0)
        os.close(ready_read)


def shared_folder_of_this_user(context: Context, launches: Launches) -> List[str]:
    """XDG_RUNTIME_DIR open to others is not used: the guard lives in
    /tmp/tarn-<uid>, where the second start finds it."""
    failures = []
    os.chmod(str(launches.runtime), 0o755)
    fallback = Path("/tmp/tarn-%d" % os.geteuid())
    socket_path = Path(str(guard_stem(context, fallback)) + ".socket")
    first, started = first_runs(context, launches)
    if not started:
        return ["the first instance did not start main"]
    if not socket_path.exists():
        failures.append("no socket at %s" % socket_path)
    if (launches.runtime / "tarn").exists():
        failures.append("the runtime folder open to others was used")
    expect(failures, "second start", launches.finish(launches.start(["x"], {"XDG_RUNTIME_DIR": None})), (41, b"", b""))
    open_gate(context)
    expect(failures, "first instance", launches.finish(first), (0, b"", b""))
    if socket_path.exists():
        failures.append("the socket was left behind")
    return failures


def instance(name: str, procedure, main: str = "probe.Instance", forwarded: bool = False) -> Scenario:
    if not forwarded:
        return Scenario("single-instance-" + name, ini=ini(main, app=GUARD), procedure=procedure)
    # The runtime is a Java home with the forwarding JVM library.
    return Scenario("single-instance-" + name, ini=ini(main, app=GUARD, jre="JRE Path={dir}/old\n"), links={},
                    forwarders=["old/lib/server/libjvm.so"], procedure=procedure)


SINGLE_INSTANCE = [
    instance("arguments", arguments_reach_secondary_main),
    instance("void-form-answers-first", void_form_answers_first, "probe.VoidInstance"),
    instance("twenty-at-once-while-starting", twenty_at_once, forwarded=True),
    instance("first-killed", first_killed),
    instance("no-answer-exit-3", no_secondary_main(["exit", "3"], 3), "probe.NoSecondary"),
    instance("no-answer-main-returns", no_secondary_main([], 0), "probe.NoSecondary"),
    instance("answer-never-comes", answer_never_comes),
    instance("lock-held-elsewhere", lock_held_elsewhere),
    instance("socket-of-another-user", socket_of_another_user),
    instance("runtime-folder-open-to-others", shared_folder_of_this_user),
]

# --- the systemd service ------------------------------------------------------------


class NotifySocket:
    """A datagram socket in systemd's place: a path, or an abstract name."""

    def __init__(self, abstract: bool):
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
        if abstract:
            self.name = "@tarn-e2e-%d-%d" % (os.getpid(), time.monotonic_ns())
            self.socket.bind("\0" + self.name[1:])
            self.folder = None
        else:
            self.folder = tempfile.mkdtemp(prefix="tarn-notify-")
            self.name = os.path.join(self.folder, "notify")
            self.socket.bind(self.name)
        self.socket.settimeout(WAIT_SECONDS)

    def receive(self) -> bytes:
        try:
            return self.socket.recv(4096)
        except socket.timeout:
            return b"(nothing)"

    def close(self):
        self.socket.close()
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)


def stopped_by(stop_signal: int, abstract: bool):
    def procedure(context: Context, launches: Launches) -> List[str]:
        failures = []
        notify = NotifySocket(abstract)
        try:
            service = launches.start(["a b", "é"], {"NOTIFY_SOCKET": notify.name})
            expect(failures, "first datagram", notify.receive(), b"READY=1")
            # READY=1 comes right before main is called.
            if not recorded(context, "main [a b] [\\u00E9]", "service.log"):
                return failures + ["main did not run"]
            service.send_signal(stop_signal)
            expect(failures, "second datagram", notify.receive(), b"STOPPING=1")
            expect(failures, "service", launches.finish(service), (0, b"", b""))
            expect(failures, "records", records(context, "service.log"), ["main [a b] [\\u00E9]", "stop", "main returns"])
        finally:
            notify.close()
        return failures

    return procedure


def child_signals(context: Context, launches: Launches) -> List[str]:
    """The application's child processes neither block nor ignore SIGTERM
    and SIGINT, and the service runs without NOTIFY_SOCKET."""
    failures = []
    service = launches.start(["child"], {"NOTIFY_SOCKET": None})
    if not recorded(context, "main [child]", "service.log"):
        return ["main did not run"]
    for line in records(context, "service.log"):
        if line.startswith("child Sig"):
            mask = int(line.split()[2], 16)
            if mask & ((1 << (signal.SIGTERM - 1)) | (1 << (signal.SIGINT - 1))):
                failures.append("a child process has %r" % line)
    if not any(line.startswith("child SigBlk") for line in records(context, "service.log")):
        failures.append("the child's signal lines were not recorded")
    service.send_signal(signal.SIGTERM)
    expect(failures, "service", launches.finish(service), (0, b"", b""))
    return failures


def stop_before_main(context: Context, launches: Launches) -> List[str]:
    """A stop while the VM is being created: main never runs, and READY=1
    is never sent."""
    failures = []
    notify = NotifySocket(abstract=False)
    try:
        service = launches.start([], {"NOTIFY_SOCKET": notify.name,
                                      "TARN_FORWARDER_GATE": str(context.dir / CREATE_GATE)})
        if not vm_creation_waits(context):
            return ["the service did not reach JNI_CreateJavaVM"]
        service.send_signal(signal.SIGTERM)
        expect(failures, "datagram", notify.receive(), b"STOPPING=1")
        open_gate(context, CREATE_GATE)
        expect(failures, "service", launches.finish(service), (0, b"", b""))
        notify.socket.setblocking(False)
        try:
            failures.append("a datagram after STOPPING=1: %r" % notify.socket.recv(4096))
        except BlockingIOError:
            pass
        expect(failures, "records", records(context, "service.log"), [])
    finally:
        notify.close()
    return failures


def stop_never_returns(context: Context, launches: Launches) -> List[str]:
    failures = []
    service = launches.start(["stuck"])
    if not recorded(context, "main [stuck]", "service.log"):
        return ["main did not run"]
    service.send_signal(signal.SIGTERM)
    expect(failures, "service", launches.finish(service), (5, b"", b""))
    expect(failures, "records", records(context, "service.log"), ["main [stuck]", "stop", "main returns"])
    return failures


def service(name: str, procedure) -> Scenario:
    return Scenario("service-" + name, ini=ini("probe.Service", app=SERVICE), procedure=procedure)


MISSING_RUNTIME = ("The Java Runtime Environment (JRE) was not found. Please  download and install a JRE (%s) from: "
                   "https://adoptium.net/marketplace/" % "latest version")

SERVICE_SCENARIOS = [
    service("sigterm-path-socket", stopped_by(signal.SIGTERM, abstract=False)),
    service("sigint-abstract-socket", stopped_by(signal.SIGINT, abstract=True)),
    service("child-processes-keep-stop-signals", child_signals),
    service("stop-never-returns", stop_never_returns),
    Scenario("service-stop-before-main", ini=ini("probe.Service", app=SERVICE, jre="JRE Path={dir}/old\n"), links={},
             forwarders=["old/lib/server/libjvm.so"], procedure=stop_before_main),
    # Runs that end by themselves: main returns, or a step fails with its
    # message on standard error and the status of its step.
    Scenario("service-main-returns", ini=ini(app=SERVICE), args=["x"], stdout=b"count 1\n[x]\n"),
    Scenario("service-status-1-no-runtime", ini=ini(app=SERVICE), links={}, exit_code=1,
             stderr=error_line(MISSING_RUNTIME)),
    Scenario("service-status-2-jvm-library", ini=ini(app=SERVICE, jre="JRE Path={dir}/broken\n"), links={},
             files={"broken/lib/server/libjvm.so": b"not a library"}, exit_code=2, stderr=None,
             stderr_starts=b"Error: Failed to load Java VM library: {dir}/broken/lib/server/libjvm.so (errno = "),
    Scenario("service-status-3-vm-creation", ini=ini(vm="-Xbogus", app=SERVICE), exit_code=3,
             stderr=b"Unrecognized option: -Xbogus\n"
             + error_line("JNI exception: failed to create the Java VM\nReason: unknown.\n")),
    # A runtime without the boot-loader lookup: the launcher's own FindClass.
    Scenario("service-status-4-main-class", ini=ini("probe.Missing", app=SERVICE, jre="JRE Path={dir}/old\n"),
             links={}, forwarders=["old/lib/server/libjvm.so"], exit_code=4, stderr=None,
             stderr_starts=b'Exception in thread "main" java.lang.NoClassDefFoundError: probe/Missing\n'),
]

SCENARIOS = SINGLE_INSTANCE + SERVICE_SCENARIOS
