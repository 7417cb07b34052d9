"""The Linux launcher's installed runtimes, run by run_linux: a machine laid
out below the machine root compiled into tarn-machine-root ("{root}"), with
the real JDK linked in among runtimes of other versions. Each of those is a
folder with a release file of its version and the forwarding JVM library
(which runs the real JDK's VM), so that the runtime chosen shows in the
TARN_JVM_HOME that probe.Environment prints. The user's home is
{root}/home/tester, so that the runner's own per-user runtimes stay out.
"""

import re
from pathlib import Path

from scenarios_linux import MISSING_RUNTIME, Scenario, diagnosed, error_line, ini

HOME = "home/tester"
SDKMAN_8 = HOME + "/.sdkman/candidates/java/8.0.392-tem"

# name -> (release file, the VM library's place, a development kit); the
# forwarding library stands for each VM.
FAKES = {
    "usr/lib/jvm/jre-11": ('JAVA_VERSION="11.0.21"\n', "lib/server/libjvm.so", False),
    "usr/java/jdk-21": ('IMPLEMENTOR="Oracle Corporation"\nJAVA_VERSION="21.0.1"\n', "lib/server/libjvm.so", True),
    "opt/java/semeru-21": ('JAVA_VERSION="21.0.2"\nJVM_VARIANT="Openj9"\n', "lib/server/libjvm.so", True),
    SDKMAN_8: ('JAVA_VERSION="1.8.0_392"\n', "jre/lib/amd64/server/libjvm.so", True),
    # A client VM only: JVM Type=server passes it over.
    HOME + "/.jdks/zulu-22": ('JAVA_VERSION="22.0.1"\n', "lib/client/libjvm.so", False),
}


def machine_files():
    files = {"usr/lib/jvm/.java-1.17.0-openjdk-amd64.jinfo": b"name=java-1.17.0-openjdk-amd64\n",
             "usr/lib/jvm/no-release/lib/libjava.so": b""}
    for home, (release, _, kit) in FAKES.items():
        files[home + "/release"] = release.encode()
        files[home + "/lib/libjava.so"] = b""
        if kit:
            files[home + "/bin/javac"] = b""
    return files


MACHINE = dict(
    machine_files=machine_files(),
    machine_forwarders=[home + "/" + library for home, (_, library, _) in FAKES.items()],
    machine_links={
        # The real JDK 17, and Debian's two other names for it.
        "usr/lib/jvm/java-17-openjdk-amd64": "{jdk}",
        "usr/lib/jvm/java-1.17.0-openjdk-amd64": "java-17-openjdk-amd64",
        "usr/lib/jvm/default-java": "{root}/usr/lib/jvm/java-17-openjdk-amd64",
        "usr/lib/jvm/removed": "{root}/usr/lib/jvm/gone",
        "usr/lib/jvm/loop": "loop",
        HOME + "/.sdkman/candidates/java/current": "8.0.392-tem",
    },
)


def installed(name, jre="", expected_home="", env=None, **more):
    """The application has no runtime of its own: the one chosen among the
    installed ones prints its home."""
    fields = dict(
        ini=ini("probe.Environment", jre=jre),
        links={},
        args=["TARN_JVM_HOME"],
        env=dict({"HOME": "{root}/" + HOME}, **(env or {})),
        stdout=("TARN_JVM_HOME=%s\n" % expected_home).encode() if expected_home else None,
    )
    fields.update(MACHINE)
    fields.update(more)
    return Scenario(name, **fields)


SCENARIOS = [
    # Without Maximum Version no installed runtime is taken, as on Windows.
    installed("installed-none-without-maximum-version", exit_code=255,
              stdout=error_line(MISSING_RUNTIME % ("", "latest version"))),
    # The newest: the client-only 22 (any VM will do); the OpenJ9 one is IBM's
    # for VM Provider and not taken by default.
    installed("installed-newest-first", "Maximum Version=any\n", "{root}/%s/.jdks/zulu-22" % HOME),
    installed("installed-server-vm-only", "Maximum Version=any\nJVM Type=server\n", "{root}/usr/java/jdk-21"),
    # The real JDK, reached by its link, runs main through its own VM.
    installed("installed-real-jdk-within-the-bounds", "Minimum Version=12\nMaximum Version=17.65535\n", "{jdk}"),
    # A Java 8 kit of SDKMAN!: its VM lies in its jre folder, its home for the VM.
    installed("installed-java-8-of-sdkman", "Minimum Version=1.8\nMaximum Version=1.8.65535\n",
              "{root}/%s/jre" % SDKMAN_8),
    installed("installed-preferred-versions", "Maximum Version=any\nPreferred versions=11;17\n",
              "{root}/usr/lib/jvm/jre-11"),
    installed("installed-only-jre", "Maximum Version=any\nJVM Source=only_JRE\nJVM Type=server\n",
              "{root}/usr/lib/jvm/jre-11"),
    installed("installed-favor-jdk", "Maximum Version=any\nJVM Source=favor_JDK\n", "{root}/usr/java/jdk-21"),
    installed("installed-openj9-by-vm-provider", "Maximum Version=any\nVM Provider=ibm\n", "{root}/opt/java/semeru-21"),
    # JAVA_HOME only when switched on, and then before a newer runtime.
    installed("installed-java-home-ignored-by-default", "Maximum Version=any\n", "{root}/%s/.jdks/zulu-22" % HOME,
              env={"JAVA_HOME": "{root}/usr/lib/jvm/jre-11"}),
    installed("installed-java-home-switched-on", "Maximum Version=any\nUse JAVA_HOME=yes\n",
              "{root}/usr/lib/jvm/jre-11", env={"JAVA_HOME": "{root}/usr/lib/jvm/jre-11"}),
    # A JAVA_HOME outside the bounds is passed over like any other runtime.
    installed("installed-java-home-outside-the-bounds", "Maximum Version=17.65535\nUse JAVA_HOME=yes\n", "{jdk}",
              env={"JAVA_HOME": "{root}/usr/java/jdk-21"}),
    installed("installed-none-fits", "Minimum Version=30\nMaximum Version=any\n", exit_code=255,
              stdout=error_line(MISSING_RUNTIME % ("", "minimum version 30.0"))),
    installed("installed-none-fits-server", "Minimum Version=22\nMaximum Version=any\nJVM Type=server\n",
              exit_code=255, stdout=error_line(MISSING_RUNTIME % ("with a server JVM ", "minimum version 22.0"))),
    # Every entry told, with why it was passed over.
    installed(
        "installed-diagnosed",
        "Minimum Version=11\nMaximum Version=22.65535\nJVM Type=server\n",
        "{root}/usr/java/jdk-21",
        env={"TARN_DIAGNOSE": "1"},
        stderr=None,
        check=diagnosed(
            [
                "JRE Path: not set",
                "installed runtimes: searching {root}/usr/lib/jvm",
                "{root}/usr/lib/jvm/default-java (17.0.15.0): admitted, home {jdk}/",
                "{root}/usr/lib/jvm/java-1.17.0-openjdk-amd64: the same runtime as {root}/usr/lib/jvm/default-java",
                "{root}/usr/lib/jvm/java-17-openjdk-amd64: the same runtime as {root}/usr/lib/jvm/default-java",
                "{root}/usr/lib/jvm/jre-11 (11.0.21.0): admitted, home {root}/usr/lib/jvm/jre-11/",
                "{root}/usr/lib/jvm/loop: passed over, it names nothing",
                "{root}/usr/lib/jvm/no-release: passed over, its release file names no JAVA_VERSION: "
                "{root}/usr/lib/jvm/no-release/",
                "{root}/usr/lib/jvm/removed: passed over, it names nothing",
                "installed runtimes: searching {root}/usr/java",
                "{root}/usr/java/jdk-21 (21.0.1.0): admitted, home {root}/usr/java/jdk-21/",
                "installed runtimes: searching {root}/opt/java",
                "{root}/opt/java/semeru-21 (21.0.2.0): filtered by VM Provider: an OpenJ9 runtime, IBM's to VM Provider, "
                "taken with ibm, any or a favor_ value",
                "installed runtimes: searching {root}/%s/.sdkman/candidates/java" % HOME,
                "{root}/%s (1.8.0.392): below Minimum Version 11.0.0.0" % SDKMAN_8,
                "{root}/%s/.sdkman/candidates/java/current: the same runtime as {root}/%s" % (HOME, SDKMAN_8),
                "installed runtimes: searching {root}/%s/.jdks" % HOME,
                "{root}/%s/.jdks/zulu-22: passed over, wrong JVM type: a VM, but no server VM (JVM Type=server): "
                "{root}/%s/.jdks/zulu-22/" % (HOME, HOME),
                "installed runtimes: taken {root}/usr/java/jdk-21/ (version 21.0.1.0): ranked first",
                "installed runtimes: passed over {jdk}/ (version 17.0.15.0): ranked below {root}/usr/java/jdk-21/",
                "installed runtimes: passed over {root}/usr/lib/jvm/jre-11/ (version 11.0.21.0): "
                "ranked below {root}/usr/java/jdk-21/",
                "installed runtimes: taken: {root}/usr/java/jdk-21/lib/server/libjvm.so",
            ]
        ),
    ),
]


def jvm_home_in_usr_lib_jvm(result):
    homes = [line for line in result.lines() if line.startswith("TARN_JVM_HOME=/usr/lib/jvm/")]
    return [] if homes else ["no runtime of /usr/lib/jvm was taken"]


def has_java_17_in_usr_lib_jvm():
    for release in Path("/usr/lib/jvm").glob("*/release"):
        try:
            if re.search(r'^JAVA_VERSION="17[."]', release.read_text(errors="replace"), re.M):
                return True
        except OSError:
            pass
    return False


# The launcher that ships, on this machine's own folders (the JDK 17 of the
# test machine's packages), with a home without runtimes.
if has_java_17_in_usr_lib_jvm():
    SCENARIOS.append(
        Scenario(
            "installed-shipped-launcher-on-this-machine",
            ini=ini("probe.Environment", jre="Minimum Version=17\nMaximum Version=17.65535\nJVM Type=server\n"),
            links={},
            files={"home/.keep": b""},
            env={"HOME": "{dir}/home"},
            args=["TARN_JVM_HOME"],
            stdout=None,
            check=jvm_home_in_usr_lib_jvm,
        )
    )
