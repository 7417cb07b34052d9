"""End-to-end scenarios of the service host, run by run_windows under Wine's
service manager.

Each scenario lays out run.exe with run.ini, a private runtime jre64 holding
the test VM, and installs run.exe as a service with `sc create` (the command
line of its binPath given by `command`). servicectl.exe then drives it
(`steps`, see tests/e2e/servicectl_win.cpp) and the service is removed with
`sc delete`. Checked: servicectl's lines, the VM's log (in order, others
between) and the lines of run.service.log without their time stamps.

A service process does not inherit the test's environment: the VM finds its
scenario and log through testvm.env beside jvm.dll (tests/testvm/README.md).
"""

from dataclasses import dataclass
from typing import Callable, List, Optional, Sequence

from scenarios_hosting import JARS, ini, world
from scenarios_windows import Like


@dataclass
class ServiceScenario:
    name: str
    settings: bytes
    # The VM's world; None lays out a runtime without jvm.dll.
    vm_scenario: Optional[str]
    steps: Sequence[str]
    # servicectl's output, line for line; Like for a regular expression.
    output: Sequence[object]
    # After the name and the path in the service's command line.
    command: str = ""
    vm_log: Sequence[object] = ()
    vm_log_excludes: Sequence[object] = ()
    # run.service.log: regular expressions its lines (CR LF cut off) must
    # match in order, the first after the time stamp; None: must not exist.
    service_log: Optional[Sequence[str]] = None
    # run.service.log as laid out before the start, and run.service.log.1
    # expected afterwards with exact content (None: must not exist).
    service_log_before: Optional[bytes] = None
    previous_service_log: Optional[bytes] = None
    # Further checks of the VM log.
    check_log: Optional[Callable[[List[str]], List[str]]] = None
    arches: Sequence[str] = ("x64", "x86")
    # The test VM's folder for jvm.dll (tests/testvm/README.md).
    test_vm: str = "boot"


MAIN = "com.example.App.main([Ljava/lang/String;)V"
STOP_SIGNATURE = "()V"


def stoppable(*after_stop: str, stop_actions: Sequence[str] = ("signal stop",), extra: str = "") -> str:
    """main waits until stop() is called, then does `after_stop`."""
    text = world("wait stop", *after_stop, extra=extra)
    text += "method com/example/App stop %s\n" % STOP_SIGNATURE
    for action in stop_actions:
        text += "do com/example/App stop %s\n" % action
    return text


# A service log 60 bytes short of its limit (1 MiB), lines of 1024 bytes.
NEARLY_FULL_LOG = (b"2020-01-01 00:00:00 " + b"x" * 1002 + b"\r\n") * 1023 + b"2020-01-01 00:00:00 " + b"y" * 942 + b"\r\n"

def service_log_scenario(name: str, before: bytes, previous: Optional[bytes], lines_before: List[str]):
    """A start that fails (no main class) with run.service.log laid out as
    `before`; the file then holds `lines_before` (the second one's pattern
    is the time stamp the message follows), then the message."""
    message = r"Error: Could not find the main class com/example/Missing\."
    lines = lines_before[:-1] + [lines_before[-1] + message] if lines_before else [message]
    return ServiceScenario(
        name=name,
        settings=ini(main="com.example.Missing", app="Application Type=service\n"),
        vm_scenario=world("print out never", extra="launcher-helper no\n"),
        steps=["start", "wait:stopped"],
        output=["start ok", "wait stopped ok"],
        service_log_before=before,
        previous_service_log=previous,
        service_log=lines + [" "],
    )


# Once stopped has been reported, the service's process must end on its own,
# with this exit code, within this bound (milliseconds).
GONE = "gone:20000"

# Stops once main is waiting for them (a stop before that abandons the start);
# an interrogation before gets the running status again. The process is taken
# while it runs and must end after the stop.
RUNNING_THEN_STOP = ["start:a:b", "wait:running", "pid", "wait-log:wait stop", "interrogate", "query", "stop",
                     "query", "wait:stopped", "query", GONE]
STOPPED_CLEANLY = "status state=stopped win32=0 specific=0 checkpoint=0 waithint=3000 accepted=5"
STOP_PENDING = "status state=stop-pending win32=0 specific=0 checkpoint=0 waithint=3000 accepted=5"
RUNNING = "status state=running win32=0 specific=0 checkpoint=0 waithint=0 accepted=5"


def stays_stop_pending(main_waits: str) -> List[str]:
    """A stop once main waits (its log line given); the status is read once
    the stop thread has left the VM, its last step; then the process is
    ended."""
    return ["start", "wait:running", "pid", "wait-log:" + main_waits, "stop",
            "wait-log:DetachCurrentThread Thread-", "query", "kill"]


STAYED_STOP_PENDING = ["start ok", "wait running ok", "pid ok", "wait-log ok", "stop ok", "wait-log ok", STOP_PENDING,
                       "kill ok"]


SCENARIOS = [
    ServiceScenario(
        # The manager's arguments (the name first) follow the command line's.
        name="arguments-and-stop",
        settings=ini(app="Application Type=service\n"),
        vm_scenario=stoppable(),
        command="x",
        steps=RUNNING_THEN_STOP,
        output=["start ok", "wait running ok", "pid ok", "wait-log ok", "interrogate ok", RUNNING, "stop ok",
                Like("status state=(stop-pending|stopped) .*"),
                "wait stopped ok", STOPPED_CLEANLY, "gone exit=0"],
        vm_log=[
            Like(r'call com/example/App\.main\(\[Ljava/lang/String;\)V \(\["x", "tarn-svc-\w+-arguments-and-stop", "a", "b"\]\)'),
            "wait stop",
            Like(r"AttachCurrentThread (Thread-\d+)"),
            Like(r"call com/example/App\.stop\(\)V \(\)"),
            "signal stop",
            Like(r"DetachCurrentThread Thread-\d+"),
        ],
        vm_log_excludes=["System.exit 0"],
    ),
    ServiceScenario(
        name="omit-service-name",
        settings=ini(app="Application Type=service\nOmit Service Name=1\n"),
        vm_scenario=stoppable(),
        steps=RUNNING_THEN_STOP,
        output=["start ok", "wait running ok", "pid ok", "wait-log ok", "interrogate ok", RUNNING, "stop ok",
                Like("status .*"), "wait stopped ok", STOPPED_CLEANLY, "gone exit=0"],
        vm_log=[Like(r'call com/example/App\.main\(\[Ljava/lang/String;\)V \(\["a", "b"\]\)')],
    ),
    ServiceScenario(
        # The stop-pending report stays in place until main calls System.exit(0).
        name="stop-then-exit-0",
        settings=ini(app="Application Type=service\n"),
        vm_scenario=stoppable("exit 0", stop_actions=("signal stop",)),
        steps=["start", "wait:running", "pid", "wait-log:wait stop", "stop", "wait:stopped", "query", GONE],
        output=["start ok", "wait running ok", "pid ok", "wait-log ok", "stop ok", "wait stopped ok",
                STOPPED_CLEANLY, "gone exit=0"],
        vm_log=["signal stop", "wait stop done", "System.exit 0", "exit hook returned"],
    ),
    ServiceScenario(
        # No stopped report: the manager sees the process end on its own.
        name="exit-1-after-stop",
        settings=ini(app="Application Type=service\n"),
        vm_scenario=stoppable("exit 1"),
        # Windows then records the service stopped with 1067 (the process
        # ended unexpectedly); Wine leaves it stop-pending. Never a clean stop.
        steps=["start", "wait:running", "pid", "wait-log:wait stop", "stop", "gone", "query"],
        output=["start ok", "wait running ok", "pid ok", "wait-log ok", "stop ok", "gone exit=1",
                Like(r"status state=(stop-pending win32=0|stopped win32=1067) .*")],
        vm_log=["System.exit 1", "exit hook returned"],
    ),
    ServiceScenario(
        # stop() missing: the VM describes the error and the service stays
        # stop-pending. The query comes once the stop thread has left the
        # VM, its last step.
        name="no-stop-method",
        settings=ini(app="Application Type=service\n"),
        vm_scenario=world("wait never"),
        steps=stays_stop_pending("wait never"),
        output=STAYED_STOP_PENDING,
        vm_log=[
            Like(r"AttachCurrentThread Thread-\d+"),
            "GetStaticMethodID com/example/App stop ()V -> not found",
            "ExceptionDescribe java/lang/NoSuchMethodError",
            Like(r"DetachCurrentThread Thread-\d+"),
        ],
    ),
    ServiceScenario(
        # A stop before the VM exists: main never runs, the service stops
        # cleanly.
        name="stop-before-main",
        settings=ini(app="Application Type=service\n"),
        # The VM's creation waits for a file the test makes once the stop
        # control has returned.
        vm_scenario=stoppable(extra="create-waits-for {dir}\\go-create\n"),
        steps=["start", "wait:running", "pid", "wait-log:CreateJavaVM waits for", "stop", "touch:{dir}\\go-create",
               "wait:stopped", "query", GONE],
        output=["start ok", "wait running ok", "pid ok", "wait-log ok", "stop ok", "touch ok", "wait stopped ok",
                STOPPED_CLEANLY, "gone exit=0"],
        vm_log=["CreateJavaVM -> 0", "DetachCurrentThread main", "DestroyJavaVM done"],
        vm_log_excludes=[Like(r"call com/example/App\.main.*")],
    ),
    ServiceScenario(
        name="no-runtime",
        settings=ini(app="Application Type=service\n", jre="JRE Path=C:\\nowhere\n"),
        vm_scenario=None,
        steps=["start", "wait:stopped", "query"],
        output=["start ok", "wait stopped ok",
                "status state=stopped win32=1066 specific=1 checkpoint=0 waithint=0 accepted=5"],
        service_log=[r"Error: The Java Runtime Environment \(JRE\) was not found\. .* "],
    ),
    ServiceScenario(
        name="vm-refused",
        settings=ini(app="Application Type=service\n"),
        vm_scenario=world("print out never", extra="create-result -4\n"),
        steps=["start", "wait:stopped", "query"],
        output=["start ok", "wait stopped ok",
                "status state=stopped win32=1066 specific=3 checkpoint=0 waithint=0 accepted=5"],
        service_log=[r"Error: JNI exception: failed to create the Java VM", r"Reason: not enough memory\.", " "],
    ),
    # The line would take the file past 1 MiB: the file becomes
    # run.service.log.1 and the line starts a new one.
    service_log_scenario("service-log-turns-at-its-limit", NEARLY_FULL_LOG, NEARLY_FULL_LOG, []),
    service_log_scenario("service-log-appends-below-its-limit", b"2020-01-01 00:00:00 an older line\r\n", None,
                         ["an older line", r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d "]),
    ServiceScenario(
        name="no-main-class",
        settings=ini(main="com.example.Missing", app="Application Type=service\n"),
        vm_scenario=world("print out never", extra="launcher-helper no\n"),
        steps=["start", "wait:stopped", "query"],
        output=["start ok", "wait stopped ok",
                "status state=stopped win32=1066 specific=4 checkpoint=0 waithint=0 accepted=5"],
        service_log=[r"Error: Could not find the main class com/example/Missing\.", " "],
    ),
    ServiceScenario(
        # Failure Check asks no one in a service: main's exception is left
        # to the VM and the service stops.
        name="exception-with-failure-check",
        settings=ini(app="Application Type=service\nFailure Check=Yes\n"),
        vm_scenario=world("throw java/lang/IllegalStateException boom"),
        steps=["start", "wait:stopped", "query"],
        output=["start ok", "wait stopped ok", "status state=stopped win32=0 specific=0 checkpoint=0 waithint=0 accepted=5"],
        vm_log=["DetachCurrentThread main, uncaught java/lang/IllegalStateException", "DestroyJavaVM done"],
        vm_log_excludes=[Like(".*printStackTrace.*"), Like("Throw .*")],
    ),
    ServiceScenario(
        name="hundred-cycles",
        settings=ini(app="Application Type=service\n"),
        vm_scenario=stoppable(stop_actions=("signal stop",)),
        steps=["cycles:100:call com/example/App.main"],
        # Each start is a process of its own, so what builds up across the
        # starts stays in the two processes that see them all: servicectl and
        # the service manager. Their counts after the last start must be
        # those after the first.
        output=[Like(r"cycles 100: stopped 100, left 0, handles (\d+) \1, manager handles (\d+) \2")],
    ),
    ServiceScenario(
        # stop() throws: the VM describes the exception and the service
        # stays stop-pending, as main was never told.
        name="stop-throws",
        settings=ini(app="Application Type=service\n"),
        vm_scenario=stoppable(stop_actions=("throw java/lang/IllegalStateException not now",)),
        steps=stays_stop_pending("wait stop"),
        output=STAYED_STOP_PENDING,
        vm_log=[
            Like(r"AttachCurrentThread Thread-\d+"),
            Like(r"call com/example/App\.stop\(\)V \(\)"),
            "ExceptionDescribe java/lang/IllegalStateException",
            Like(r"DetachCurrentThread Thread-\d+"),
        ],
        vm_log_excludes=["wait stop done"],
    ),
    ServiceScenario(
        # stop() lets main end but never returns itself: the VM's teardown
        # would wait for it for ever. The service is reported stopped with
        # code 5 and the process ends without the teardown.
        name="stop-never-returns",
        settings=ini(app="Application Type=service\n"),
        vm_scenario=stoppable(stop_actions=("signal stop", "wait never")),
        steps=["start", "wait:running", "pid", "wait-log:wait stop", "stop", "wait:stopped", "query", GONE],
        output=["start ok", "wait running ok", "pid ok", "wait-log ok", "stop ok", "wait stopped ok",
                "status state=stopped win32=1066 specific=5 checkpoint=0 waithint=3000 accepted=5", "gone exit=-1"],
        vm_log=["signal stop", "wait never", "wait stop done", "DetachCurrentThread main"],
        vm_log_excludes=[Like("DestroyJavaVM.*")],
    ),
    ServiceScenario(
        # A jvm.dll without JNI_CreateJavaVM.
        name="jvm-library-unusable",
        settings=ini(app="Application Type=service\n"),
        vm_scenario=world("print out never"),
        test_vm="no-create",
        steps=["start", "wait:stopped", "query"],
        output=["start ok", "wait stopped ok",
                "status state=stopped win32=1066 specific=2 checkpoint=0 waithint=0 accepted=5"],
        service_log=[r"Error: Windows exception: cannot find CreateJavaVM JNI \(errno = 127\)\.", " "],
    ),
]
