"""End-to-end scenarios of the single-instance guard: several processes of one
launcher at once, run by run_windows through instances.exe (a plan of starts,
waits and files; tests/e2e/instances_win.cpp).

The first instance runs the test VM with a main method that waits for the
file `gate` and a "secondaryMain"; second instances are started with
arguments, and their exit codes and the VM's log tell what reached it.
"""

import re
from typing import Dict, List

from scenarios_hosting import app, ini, jar_ini, world
from scenarios_windows import Like, Result

GUARD = "Single Instance=yes\n"
MAIN_WAITS = "wait-file {dir}\\gate"
INT_FORM = "([Ljava/lang/String;)I"
VOID_FORM = "([Ljava/lang/String;)V"


def secondary(signature: str, *actions: str) -> str:
    text = "method com/example/App secondaryMain %s\n" % signature
    for action in actions:
        text += "do com/example/App secondaryMain %s\n" % action
    return text


def results(result: Result) -> Dict[str, str]:
    """id -> what the plan reported of it ("exit 7" as "7", "running yes" as "running yes")."""
    found = {}
    for line in result.instances:
        words = line.split(" ", 2)
        if words[0] == "exit" and len(words) == 3:
            found[words[1]] = words[2]
        elif words[0] in ("running", "timeout", "left") and len(words) >= 2:
            found.setdefault(words[0] + " " + words[1], " ".join(words[2:]) or "yes")
    return found


def expect_codes(expected: Dict[str, int], running: Dict[str, str] = None):
    """A check: the programs' exit codes, and what `running` steps saw."""

    def check(result: Result) -> List[str]:
        got = results(result)
        failures = []
        for program, code in expected.items():
            if got.get(program) != str(code):
                failures.append("%s ended with %r, expected %d" % (program, got.get(program), code))
        for program, state in (running or {}).items():
            if got.get("running " + program) != state:
                failures.append("%s running: %r, expected %r" % (program, got.get("running " + program), state))
        return failures

    return check


def calls(log: List[str], signature: str) -> List[str]:
    """The arguments of every secondaryMain call, in log order."""
    prefix = "call com/example/App.secondaryMain%s " % signature
    return [line[len(prefix) :] for line in log if line.startswith(prefix)]


def both(*checks):
    return lambda result: [failure for check in checks for failure in check(result)]


def guard_name(exe_windows: str) -> str:
    """The name of the guard's block for the launcher at that path."""
    return exe_windows.replace("\\", "_")


def start(program: str, arguments: str = "") -> str:
    return 'start %s "{exe}"%s\n' % (program, (" " + arguments) if arguments else "")


FIRST_RUNS = start("first") + "await-log 1 main waits for\n"
FIRST_ENDS = "touch {dir}\\gate\nwait first\n"

LONGEST = "x" * 518  # 518 units, its NUL and the closing NUL: 1040 bytes

# --- what reaches secondaryMain ------------------------------------------------


def arguments_delivered(result: Result) -> List[str]:
    expected = ['(["a", "b"])', '([""])', '(["a", "", "b"])', '(["%s"])' % LONGEST]
    got = calls(result.log, INT_FORM)
    return [] if got == expected else ["secondaryMain received %r, expected %r" % (got, expected)]


ARGUMENTS = app(
    "single-instance-arguments",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS, extra=secondary(INT_FORM, "return 7")),
    plan=FIRST_RUNS
    + start("two", "a b")
    + "wait two\n"
    + start("none")
    + "wait none\n"
    + start("empty", 'a "" b')
    + "wait empty\n"
    + start("longest", LONGEST)
    + "wait longest\n"
    + start("too-long", LONGEST + "x")
    + "wait too-long\n"
    + FIRST_ENDS,
    check=both(
        expect_codes({"two": 7, "none": 7, "empty": 7, "longest": 7, "too-long": -1, "first": 0}),
        arguments_delivered,
    ),
    vm_log=["call com/example/App.main([Ljava/lang/String;)V ([])", "return com/example/App.secondaryMain -> 7"],
)


def void_order(result: Result) -> List[str]:
    # The second instance ended while secondaryMain still waited for gate2:
    # the answer went out before the call.
    return [] if calls(result.log, VOID_FORM) == ['(["x"])'] else ["secondaryMain calls: %r" % calls(result.log, VOID_FORM)]


VOID_FORM_ANSWERS_FIRST = app(
    "single-instance-void-form-answers-first",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS, extra=secondary(VOID_FORM, "wait-file {dir}\\gate2", "print out served")),
    plan=FIRST_RUNS
    + start("second", "x")
    + "wait second\n"
    + "touch {dir}\\gate2\n"
    + "await-log 1 print out \"served\"\n"
    + FIRST_ENDS,
    check=both(expect_codes({"second": 0, "first": 0}), void_order),
    vm_log=[
        'call com/example/App.secondaryMain([Ljava/lang/String;)V (["x"])',
        Like(r"Thread-\d+ waits for {dir}\\gate2"),
        Like(r"Thread-\d+ saw {dir}\\gate2"),
        "return com/example/App.secondaryMain",
    ],
)

# --- second instances before main, and many at once ------------------------------

CROWD = ["s%02d" % i for i in range(20)]


def crowd_served_once(result: Result) -> List[str]:
    failures = []
    got = calls(result.log, INT_FORM)
    expected = sorted('(["%s", "t%s"])' % (name, name[1:]) for name in CROWD)
    if sorted(got) != expected:
        failures.append("secondaryMain received %r, expected each of %r once" % (got, expected))
    # No request thread touched the VM before main was about to be called.
    main_lookup = next((i for i, line in enumerate(result.log) if line.startswith("GetStaticMethodID com/example/App main")), None)
    first_attach = next((i for i, line in enumerate(result.log) if line.startswith("AttachCurrentThread")), None)
    if main_lookup is None or first_attach is None or first_attach < main_lookup:
        failures.append("a request attached at line %r, before main was looked up (line %r)" % (first_attach, main_lookup))
    return failures


CROWD_WHILE_STARTING = app(
    "single-instance-crowd-while-starting",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS, extra="create-waits-for {dir}\\gate-create\n" + secondary(INT_FORM, "return 7")),
    plan=start("first")
    + "await-log 1 CreateJavaVM waits for\n"
    + "".join(start(name, "%s t%s" % (name, name[1:])) for name in CROWD)
    + "".join("running %s\n" % name for name in CROWD)
    + "touch {dir}\\gate-create\n"
    + "".join("wait %s\n" % name for name in CROWD)
    + FIRST_ENDS,
    check=both(
        expect_codes(dict({name: 7 for name in CROWD}, first=0), {name: "yes" for name in CROWD}),
        crowd_served_once,
    ),
)

# --- the first instance ends without answering -----------------------------------


def no_answer(code: int) -> object:
    return app(
        "single-instance-no-answer-exit-%d" % code,
        settings=ini(app=GUARD),
        # No secondaryMain of either form: the request is never answered.
        vm_scenario=world(MAIN_WAITS, "exit %d" % code),
        plan=FIRST_RUNS
        + start("second", "x")
        + "await-log 1 GetStaticMethodID com/example/App secondaryMain ([Ljava/lang/String;)I\n"
        + "running second\n"
        + FIRST_ENDS
        + "wait second\n",
        check=expect_codes({"first": code, "second": code}, {"second": "yes"}),
        vm_log=["ExceptionDescribe java/lang/NoSuchMethodError", "System.exit %d" % code],
    )


def main_calls(count: int):
    def check(result: Result) -> List[str]:
        got = [line for line in result.log if line.startswith("call com/example/App.main(")]
        return [] if len(got) == count else ["main was called %d times, expected %d" % (len(got), count)]

    return check


def secondary_calls(*expected: str):
    def check(result: Result) -> List[str]:
        got = calls(result.log, INT_FORM)
        return [] if got == list(expected) else ["secondaryMain received %r, expected %r" % (got, list(expected))]

    return check


def printed(text: str):
    def check(result: Result) -> List[str]:
        return [] if text.encode() in result.stdout else ["%r was not printed" % text]

    return check


# The first instance is killed while secondaryMain runs for a second one: the
# second ends with the code it was killed with, and a start after them runs
# as the first instance again.
KILLED_WHILE_SERVING = app(
    "single-instance-first-killed-while-serving",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS, extra=secondary(INT_FORM, "wait-file {dir}\\gate2", "return 7")),
    plan=FIRST_RUNS
    + start("second", "x")
    + "await-log 1 waits for {dir}\\gate2\n"
    + "kill first 9\n"
    + "wait first\n"
    + "wait second\n"
    + start("third")
    + "await-log 2 main waits for\n"
    + "touch {dir}\\gate\n"
    + "wait third\n",
    check=both(expect_codes({"first": 9, "second": 9, "third": 0}), main_calls(2)),
)

# --- blocks without a running first instance ----------------------------------------


def left_over_block(exe: str) -> str:
    """The first instance ends while another process keeps its block open."""
    return FIRST_RUNS + "keep-mapping %s\n" % guard_name(exe) + FIRST_ENDS + start("next") + "wait next\n"


STALE_BLOCK = app(
    # The block names a process that has ended (it cannot be opened).
    "single-instance-stale-block",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS, extra=secondary(INT_FORM, "return 7")),
    plan=left_over_block,
    check=both(expect_codes({"first": 0, "next": 0}), main_calls(2)),
)


def block_without_instance(kind: str) -> object:
    """A block made before the first start that names no running copy of the
    launcher: zero-filled, or naming instances.exe itself. The first start
    takes it over and serves the second."""
    return app(
        "single-instance-%s-block" % kind,
        settings=ini(app=GUARD),
        vm_scenario=world(MAIN_WAITS, extra=secondary(INT_FORM, "return 7")),
        plan=lambda exe: "hold-mapping %s %s\n" % (guard_name(exe), kind)
        + FIRST_RUNS
        + start("second", "x")
        + "wait second\n"
        + FIRST_ENDS,
        check=both(expect_codes({"first": 0, "second": 7}), secondary_calls('(["x"])')),
    )


OTHER_OWNER = app(
    # A block owned by someone else is not trusted: both starts run alone.
    "single-instance-block-of-another-owner",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS, extra=secondary(INT_FORM, "return 7")),
    plan=lambda exe: "hold-mapping %s other-owner\n" % guard_name(exe)
    + FIRST_RUNS
    + start("second", "x")
    + "await-log 2 main waits for\n"
    + FIRST_ENDS
    + "wait second\n",
    check=both(expect_codes({"first": 0, "second": 0}), main_calls(2), secondary_calls()),
)

# --- every wait ends -----------------------------------------------------------------

LOCK_HELD = app(
    # Another process holds the request lock and never lets go.
    "single-instance-lock-held",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS),
    plan=lambda exe: "own-mutex %s_upr_lock\n" % guard_name(exe) + start("first") + "wait first\n",
    check=both(
        expect_codes({"first": 1460}),
        printed("kept the single-instance lock for 20 seconds; giving up."),
        main_calls(0),
    ),
)

ANSWER_NEVER_COMES = app(
    # secondaryMain does not return while the second instance waits.
    "single-instance-answer-never-comes",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS, extra=secondary(INT_FORM, "wait-file {dir}\\gate2", "return 7")),
    # The request is still being served when main ends: the VM waits until
    # the serving thread lets go of it, and the first instance then ends.
    plan=FIRST_RUNS
    + start("second", "x")
    + "wait second\n"
    + "touch {dir}\\gate\n"
    + "await-log 1 DestroyJavaVM waits for\n"
    + "touch {dir}\\gate2\n"
    + "wait first\n",
    check=both(
        expect_codes({"first": 0, "second": 1460}),
        printed("did not answer within 20 seconds; giving up."),
    ),
)

# --- requests without fresh arguments ------------------------------------------------

FLOOD = app(
    # Request messages posted again and again after a served request call
    # secondaryMain only for the starts that made them.
    "single-instance-repeated-requests",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS, extra=secondary(INT_FORM, "return 7")),
    plan=lambda exe: FIRST_RUNS
    + start("a", "a")
    + "wait a\n"
    + "flood %s 3000\n" % guard_name(exe)
    + start("b", "b")
    + "wait b\n"
    + FIRST_ENDS,
    check=both(expect_codes({"first": 0, "a": 7, "b": 7}), secondary_calls('(["a"])', '(["b"])')),
)

# --- a request before the VM exists -----------------------------------------------


def guard_event_taken(exe_windows: str) -> str:
    """The main-started event's name held by a mutex: the first instance
    cannot make that event and serves requests without it."""
    return "hold-mutex %s_upr_evt\n" % guard_name(exe_windows)


REQUEST_BEFORE_VM = app(
    "single-instance-request-before-vm",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS, extra="create-waits-for {dir}\\gate-create\n" + secondary(INT_FORM, "return 7")),
    plan=lambda exe: guard_event_taken(exe)
    + start("first")
    + "await-log 1 CreateJavaVM waits for\n"
    + start("second", "early")
    + "await-held %s_upr_lock\n" % guard_name(exe)
    + "await-taken %s\n" % guard_name(exe)
    + "running second\n"
    + "touch {dir}\\gate-create\n"
    + "wait second\n"
    + FIRST_ENDS,
    check=expect_codes({"second": 7, "first": 0}, {"second": "yes"}),
    vm_log=['call com/example/App.secondaryMain([Ljava/lang/String;)I (["early"])'],
)

# --- where the guard does not hold -------------------------------------------------

OTHER_FOLDER = app(
    # A copy of the launcher in another folder is not the same application.
    "single-instance-copy-elsewhere",
    settings=ini(app=GUARD),
    vm_scenario=world(MAIN_WAITS),
    files={"copy\\run.ini": lambda folder: ini(app=GUARD, jre="JRE Path=%s\\jre64\n" % folder,
                                               class_path="%s\\lib\\*.jar" % folder)},
    copies=["copy\\run.exe"],
    plan=FIRST_RUNS
    + 'start copy "{dir}\\copy\\run.exe"\n'
    + "await-log 2 main waits for\n"
    + "touch {dir}\\gate\n"
    + "wait first\n"
    + "wait copy\n",
    check=expect_codes({"first": 0, "copy": 0}),
    vm_log=[Like(r"host {dir}\\run\.exe"), Like(r"host {dir}\\copy\\run\.exe")],
)

# With a Main Jar, secondaryMain is looked up on the class its manifest names.
MAIN_JAR = app(
    "single-instance-main-jar",
    settings=jar_ini(extra="[Application]\n" + GUARD),
    files={"app.jar": b"PK"},
    vm_scenario=world(MAIN_WAITS, extra=secondary(INT_FORM, "return 7") + "jar-manifest com.example.App\n"),
    plan=FIRST_RUNS + start("two", "a b") + "wait two\n" + FIRST_ENDS,
    check=expect_codes({"two": 7, "first": 0}),
    vm_log=["return com/example/App.secondaryMain -> 7"],
)

SCENARIOS = [
    ARGUMENTS,
    MAIN_JAR,
    VOID_FORM_ANSWERS_FIRST,
    CROWD_WHILE_STARTING,
    no_answer(3),
    no_answer(259),
    REQUEST_BEFORE_VM,
    OTHER_FOLDER,
    KILLED_WHILE_SERVING,
    STALE_BLOCK,
    block_without_instance("zero"),
    block_without_instance("foreign"),
    OTHER_OWNER,
    LOCK_HELD,
    ANSWER_NEVER_COMES,
    FLOOD,
]
