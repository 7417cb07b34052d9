"""Linux end-to-end scenarios of a main module and a module path, run by
run_linux with the real JDK: the modules of tests/java/modules (probe.modular,
and probe.fx, a JavaFX application shown under Xvfb). Each launch is also
made with the JDK's own `java --module-path ... --module ...` on the same
folder, which must give the same standard output and error and exit code.
"""

import atexit
import os
import subprocess
import time
from pathlib import Path
from typing import List

from scenarios_linux import Result, Scenario, diagnosed, differences_from, ini

# Debian's openjfx.
JAVAFX_MODULES = Path("/usr/share/openjfx/lib")

MODULAR_JAR = {"mods/probe.modular.jar": "probe.modular.jar"}
FX_JAR = {"mods/probe.fx.jar": "probe.fx.jar"}

_xvfb = []


def with_display(_context):
    """Starts one Xvfb for the run, on the first free display from :150, and
    hands it to the launches through DISPLAY (run_linux passes it on)."""
    if _xvfb:
        return
    for number in range(150, 250):
        if os.path.exists("/tmp/.X%d-lock" % number) or os.path.exists("/tmp/.X11-unix/X%d" % number):
            continue
        server = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Ready once its socket exists; a server that ended lost the display to another.
        deadline = time.monotonic() + 20
        while server.poll() is None and time.monotonic() < deadline:
            if os.path.exists("/tmp/.X11-unix/X%d" % number):
                _xvfb.append(server)
                atexit.register(server.terminate)
                os.environ["DISPLAY"] = ":%d" % number
                return
            time.sleep(0.05)
        server.terminate()
        server.wait()
    raise RuntimeError("no Xvfb display could be started")


def same_as_java(*java_arguments: str):
    """The JDK's own launcher, run in the scenario's folder with the same
    environment, gives the same output, error and exit code."""

    def check(result: Result) -> List[str]:
        context = result.context
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": os.environ.get("HOME", "/"),
               "LANG": "C.UTF-8", "TARN_E2E_MODS": str(context.dir / "mods")}
        if "DISPLAY" in os.environ:
            env["DISPLAY"] = os.environ["DISPLAY"]
        reference = subprocess.run([str(context.jdk / "bin" / "java")] + [context.fill(a) for a in java_arguments],
                                   cwd=str(context.dir), env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, timeout=120)
        return differences_from(result, reference, "java")

    return check


def module_ini(main_module: str, module_path: str, vm: str = "", class_path=None, main: str = "") -> str:
    text = ini(main=main, vm=vm, class_path=class_path)
    jre = "[Java Runtime Environment]\n"
    keys = ("Main Module=%s\n" % main_module if main_module else "") + "Module Path=%s\n" % module_path
    return text.replace(jre, jre + keys, 1)


FX_PATH = str(JAVAFX_MODULES)

SCENARIOS = [
    Scenario(
        # A relative entry is taken against the launcher's folder, not the
        # current one; no class path is needed, and the VM is given an empty one.
        "module-main-module-and-class",
        ini=module_ini("probe.modular/probe.modular.Where", "mods"),
        jars=MODULAR_JAR,
        args=["a", "b c"],
        cwd="mods",
        stdout=b"module probe.modular\nclass path []\ncommand [probe.modular/probe.modular.Where a b c]\n"
        b"java.sql false\narguments a,b c\n",
        check=same_as_java("--module-path", "mods", "--module", "probe.modular/probe.modular.Where", "a", "b c"),
    ),
    Scenario(
        # The descriptor names the main class; a variable and a wildcard in the
        # module path; --add-modules through the VM parameters.
        "module-main-class-from-descriptor",
        ini=module_ini("probe.modular", "%TARN_E2E_MODS%/*.jar", vm="--add-modules=java.sql"),
        env={"TARN_E2E_MODS": "{dir}/mods"},
        jars=MODULAR_JAR,
        args=["x"],
        stdout=b"module probe.modular\nclass path []\ncommand [probe.modular x]\njava.sql true\narguments x\n",
        check=same_as_java("--module-path", "mods/probe.modular.jar", "--add-modules", "java.sql", "--module",
                           "probe.modular", "x"),
    ),
    Scenario(
        "module-diagnose-lines",
        ini=module_ini("probe.modular/probe.modular.Where", "mods;nowhere/*.jar"),
        env={"TARN_DIAGNOSE": "1"},
        jars=MODULAR_JAR,
        stdout=b"module probe.modular\nclass path []\ncommand [probe.modular/probe.modular.Where]\n"
        b"java.sql false\narguments \n",
        stderr=None,
        check=diagnosed(
            [
                "[Java Runtime Environment] Main Module=probe.modular/probe.modular.Where (configuration file)",
                "module path entry mods: gave {dir}/mods",
                "module path entry nowhere/*.jar: matched nothing",
                "module path: {dir}/mods",
                "VM option 1: -Djava.class.path=",
                "VM option 2: --module-path={dir}/mods",
                "VM option 3: -Djdk.module.main=probe.modular",
                "VM option 4: -Dsun.java.command=probe.modular/probe.modular.Where",
                "main module probe.modular/probe.modular.Where: loaded through LauncherHelper.checkAndLoadMain",
                "exit code 0: main returned",
            ]
        ),
    ),
    # The runtime reports these itself, and exits with 1, as under java.
    Scenario(
        "module-missing",
        ini=module_ini("probe.absent", "mods"),
        jars=MODULAR_JAR,
        exit_code=1,
        # The VM writes these to standard output.
        stdout=b"Error occurred during initialization of boot layer\n"
        b"java.lang.module.FindException: Module probe.absent not found\n",
        check=same_as_java("--module-path", "mods", "--module", "probe.absent"),
    ),
    Scenario(
        "module-without-main-class",
        ini=module_ini("probe.fx", FX_PATH + ";mods"),
        jars=FX_JAR,
        exit_code=1,
        stderr=b"module probe.fx does not have a ModuleMainClass attribute, use -m <module>/<main-class>\n",
        check=same_as_java("--module-path", FX_PATH + ":mods", "--module", "probe.fx"),
    ),
    Scenario(
        "module-main-class-missing",
        ini=module_ini("probe.modular/probe.modular.Absent", "mods"),
        jars=MODULAR_JAR,
        exit_code=1,
        stderr=b"Error: Could not find or load main class probe.modular.Absent in module probe.modular\n",
        check=same_as_java("--module-path", "mods", "--module", "probe.modular/probe.modular.Absent"),
    ),
    # JavaFX: an Application without main, started by LauncherHelper.
    Scenario(
        "javafx-main-module",
        ini=module_ini("probe.fx/probe.fx.Window", FX_PATH + ";mods"),
        jars=FX_JAR,
        prepare=with_display,
        args=["a", "b"],
        stdout=b"shown true in module probe.fx with a,b\n",
        stderr=None,
        check=same_as_java("--module-path", FX_PATH + ":mods", "--module", "probe.fx/probe.fx.Window", "a", "b"),
    ),
    Scenario(
        "javafx-class-path",
        ini=module_ini("", FX_PATH, vm="--add-modules=javafx.controls", class_path="mods/probe.fx.jar",
                       main="probe.fx.Window"),
        jars=FX_JAR,
        prepare=with_display,
        args=["a"],
        stdout=b"shown true in module null with a\n",
        stderr=None,
        check=same_as_java("--module-path", FX_PATH, "--add-modules", "javafx.controls", "-cp", "mods/probe.fx.jar",
                           "probe.fx.Window", "a"),
    ),
]
