"""End-to-end scenarios of the registry search, run by run_windows.

Each scenario registers Java runtimes under HKEY_LOCAL_MACHINE in the Wine
prefix (wine_registry.py writes them before the start and removes them
after it), lays the test-double JVM out as those runtimes in its folder, and
checks which jvm.dll the launcher loaded (the test VM logs its own path) and
what the application printed. The launcher's folder holds no runtime, so the
registry is the only source.
"""

from dataclasses import dataclass
from typing import Dict, List, Optional, Sequence, Tuple

from scenarios_hosting import MAIN_SIGNATURE, NOTHING_LOADED, only_loads, world
from scenarios_windows import Scenario, crlf
from wine_registry import RegistryValue

JDK = "Software\\JavaSoft\\Java Development Kit"
JRE = "Software\\JavaSoft\\Java Runtime Environment"
JROCKIT_JRE = "Software\\JRockit\\Java Runtime Environment"
JROCKIT_JDK = "Software\\JRockit\\Java Development Kit"
IBM_JRE = "Software\\IBM\\Java2 Runtime Environment"
DEVELOPMENT_KITS = (JDK, JROCKIT_JDK)


@dataclass
class RegistryScenario(Scenario):
    # Written into the registry before the start, removed after it.
    registry: Sequence[RegistryValue] = ()


@dataclass
class Runtime:
    """A registered runtime: the vendor key, the version subkey, the folder
    (inside the scenario folder) its JavaHome names, and its VM folders; a
    development kit's VMs lie in its jre\\ folder."""

    key: str
    version: str
    folder: str
    vms: Tuple[str, ...] = ("client",)
    view: str = "own"
    variant: str = "boot"

    def vm_folder(self) -> str:
        return self.folder + "\\jre" if self.key in DEVELOPMENT_KITS else self.folder

    def jvm(self, kind: Optional[str] = None) -> str:
        return "%s\\bin\\%s\\jvm.dll" % (self.vm_folder(), kind or self.vms[0])


def settings(jre: str = "", app: str = "", maximum: Optional[str] = "any") -> bytes:
    """The launcher's INI: the main class, an open version range unless told
    otherwise (an absent Maximum Version admits no registered runtime), and
    the jars."""
    text = "[Java Runtime Environment]\nMain Class=com.example.App\n"
    if maximum is not None:
        text += "Maximum Version=%s\n" % maximum
    text += jre
    if app:
        text += "[Application]\n" + app
    return crlf(text + "[Class Path]\nClass Path=\\lib\\*.jar\n")


def in_folder(data: bytes):
    """The bytes with "{dir}" standing for the scenario folder's Windows path."""
    return lambda folder: data.replace(b"{dir}", folder.encode("utf-8"))


JARS = {"lib\\app.jar": b"PK\x05\x06" + bytes(18)}
GREETING = b"from the registry\r\n"


def registered(
    name: str,
    runtimes: Sequence[Runtime],
    loads: Optional[str],
    jre: str = "",
    app: str = "",
    maximum: Optional[str] = "any",
    extra: Sequence[RegistryValue] = (),
    **rest
) -> RegistryScenario:
    """A start with these runtimes registered (and `extra` entries). `loads`
    is the jvm.dll expected, relative to the scenario folder, or None when
    none may be loaded."""
    vms: Dict[str, str] = dict(rest.pop("vms", {}))
    # The application ends the process itself: with a VM Provider that admits
    # IBM runtimes, the launcher's thread never returns from running main.
    vm_scenario = rest.pop("vm_scenario", world("print out from the registry", "exit 0"))
    entries: List[RegistryValue] = []
    for runtime in runtimes:
        for kind in runtime.vms:
            vms[runtime.jvm(kind)] = runtime.variant
        entries.append(
            RegistryValue("%s\\%s" % (runtime.key, runtime.version), "{dir}\\%s" % runtime.folder, view=runtime.view)
        )
    entries += extra
    expected = dict(
        vm_log=["load {dir}\\%s" % loads, 'call com/example/App.main%s (["x"])' % MAIN_SIGNATURE],
        check=only_loads("load {dir}\\%s" % loads),
        stdout=GREETING,
        exit_code=0,
    )
    if loads is None:
        # What is said about the missing runtime belongs to the dialog's
        # scenarios; out of sight, no dialog waits for an answer.
        expected = dict(vm_log_excludes=NOTHING_LOADED, exit_code=-1, hidden_desktop=True)
    expected.update(rest)
    return RegistryScenario(
        name=name,
        exe="run.exe",
        files=dict(JARS, **{"run.ini": in_folder(settings(jre, app, maximum))}),
        vms=vms,
        vm_scenario=vm_scenario,
        command_line='"{exe}" x',
        registry=entries,
        **expected
    )


# --- ordering ------------------------------------------------------------------

JDK6 = Runtime(JDK, "1.6.0_20", "jdk6")
JRE7 = Runtime(JRE, "1.7.0", "jre7")
JRE5 = Runtime(JRE, "1.5.0_22", "jre5")

ORDERING = [
    registered("registry-defaults-take-the-newest", [JDK6, JRE7, JRE5], JRE7.jvm()),
    registered(
        # Equal versions: the development kit's key is searched first.
        "registry-defaults-development-kit-first-at-one-version",
        [Runtime(JRE, "1.7", "jre7"), Runtime(JDK, "1.7", "jdk7")],
        "jdk7\\jre\\bin\\client\\jvm.dll",
    ),
    registered(
        "registry-favor-jre-before-newer-development-kit",
        [Runtime(JDK, "1.8", "jdk8"), JRE5],
        JRE5.jvm(),
        jre="JVM Source=favor_JRE\n",
    ),
    registered(
        "registry-only-jdk",
        [Runtime(JRE, "1.8", "jre8"), Runtime(JDK, "1.5", "jdk5")],
        "jdk5\\jre\\bin\\client\\jvm.dll",
        jre="JVM Source=only_JDK\n",
    ),
    registered(
        # Not one of the JVM Source values: no key is searched at all.
        "registry-jvm-source-matching-no-rule",
        [Runtime(JDK, "1.8", "jdk8"), JRE5],
        None,
        jre="JVM Source=JRE\n",
    ),
]

# One registry of three vendors; VM Provider picks among them, in any case.
VENDORS = [
    Runtime(JRE, "1.6", "sun6"),
    Runtime(JROCKIT_JRE, "1.5", "jrockit5", vms=("jrockit",)),
    Runtime(IBM_JRE, "1.7", "ibm7", vms=("classic",)),
]
PROVIDERS = {
    "": "sun6",
    "sun": "sun6",  # no provider name: the defaults
    "jrockit": "jrockit5",
    "JRockit": "jrockit5",
    "IBM": "ibm7",
    "any": "ibm7",  # every vendor, none preferred: the newest
    "Any": "ibm7",
    "favor_jrockit": "jrockit5",
    "FAVOR_IBM": "ibm7",
    "Favor_Sun": "sun6",  # preferred before the newer IBM runtime
}
for provider, chosen in PROVIDERS.items():
    runtime = next(r for r in VENDORS if r.folder == chosen)
    # Scenario folders differ in more than the case of their names.
    written_as = "" if provider == provider.lower() else "-upper-case" if provider.isupper() else "-mixed-case"
    ORDERING.append(
        registered(
            "registry-vm-provider-%s%s" % (provider.lower() or "empty", written_as),
            VENDORS,
            runtime.jvm(),
            jre="VM Provider=%s\n" % provider,
        )
    )

SERVER_JDK = Runtime(JDK, "1.6.0_20", "jdk620", vms=("server",))
CLIENT_AND_SERVER_JRE = Runtime(JRE, "1.6.0_30", "jre630", vms=("client", "server"))
ORDERING += [
    registered(
        # The JavaSoft runtime environment is tested client first: its server
        # VM does not count, the development kit's does.
        "registry-favor-server-development-kit-before-newer-runtime",
        [CLIENT_AND_SERVER_JRE, SERVER_JDK],
        SERVER_JDK.jvm("server"),
        jre="JVM Type=favor_server\n",
    ),
    registered(
        "registry-no-jvm-type-newer-runtime-client-vm",
        [CLIENT_AND_SERVER_JRE, SERVER_JDK],
        CLIENT_AND_SERVER_JRE.jvm("client"),
    ),
    registered(
        "registry-preferred-versions-first-entry-that-matches",
        [JRE7, Runtime(JRE, "1.6.0_20", "jre6"), JRE5],
        JRE5.jvm(),
        jre="Preferred versions=1.5;1.6\n",
    ),
    registered(
        "registry-preferred-versions-matching-none",
        [Runtime(JRE, "1.6.0_20", "jre6"), JRE7, JRE5],
        JRE7.jvm(),
        jre="Preferred versions=1.4;1.3\n",
    ),
    registered(
        # 1.6 and 1.6.0_20 name one home: two candidates, and 1.6.0_20 outranks
        # the other home's 1.6.0_10.
        "registry-two-subkeys-one-home",
        [Runtime(JRE, "1.6", "shared"), Runtime(JRE, "1.6.0_10", "other"), Runtime(JRE, "1.6.0_20", "shared")],
        "shared\\bin\\client\\jvm.dll",
    ),
    registered(
        "registry-empty-java-home-skipped",
        [JRE5],
        JRE5.jvm(),
        extra=[RegistryValue(JRE + "\\1.8", "")],
    ),
    registered(
        "registry-version-bounds",
        [JRE7, Runtime(JRE, "1.6.0_45", "jre645"), JRE5],
        "jre645\\bin\\client\\jvm.dll",
        jre="Minimum Version=1.6\n",
        maximum="1.6",
    ),
    registered(
        "registry-minimum-version-alone-above-every-runtime",
        [JRE7, JRE5],
        None,
        jre="Minimum Version=1.8\n",
    ),
    registered(
        # An absent Maximum Version is 0.0.0.0: every registered runtime is above it.
        "registry-maximum-version-absent",
        [JRE7, JRE5],
        None,
        maximum=None,
    ),
    registered("registry-maximum-version-empty", [JRE7, JRE5], None, maximum=""),
]

# --- the 32-bit view and the sibling launcher --------------------------------

PAIR = "Pair Product={dir}\\run32.exe\nPair Return Code=Yes\n"
JRE32 = Runtime(JRE, "1.8", "jre32", view="32", variant="other:boot")


def sibling_start(name: str, runtimes: Sequence[Runtime], app: str, **rest) -> RegistryScenario:
    scenario = registered(name, runtimes, None, app=app, arches=("x64",), sibling="run32.exe", **rest)
    # The sibling's own settings: no Pair Product, the runtime from its own view.
    scenario.files["run32.ini"] = settings()
    return scenario


SIBLING = [
    sibling_start(
        # Nothing in the own view: the 32-bit view's runtime goes to the
        # sibling, which receives the launcher's own command line and finds
        # the runtime in its own (32-bit) view.
        "registry-32-bit-view-starts-the-sibling",
        [JRE32],
        PAIR,
        vm_scenario=world("print out from the sibling", "exit 7"),
        stdout=b"from the sibling\r\n",
        exit_code=7,
        vm_log=[
            "load {dir}\\jre32\\bin\\client\\jvm.dll",
            "host {dir}\\run32.exe",
            'command line "{dir}\\run.exe" x',
            'call com/example/App.main%s (["x"])' % MAIN_SIGNATURE,
        ],
        vm_log_excludes=[],
        check=only_loads("load {dir}\\jre32\\bin\\client\\jvm.dll"),
    ),
    sibling_start(
        # Without Pair Product the 32-bit view is never searched.
        "registry-32-bit-view-ignored-without-pair-product",
        [JRE32],
        "",
    ),
    sibling_start(
        # A runtime in the own view is taken, however new the 32-bit one is.
        "registry-own-view-before-32-bit-view",
        [Runtime(JRE, "1.5", "jre64"), Runtime(JRE, "1.9", "jre32", view="32", variant="other:boot")],
        PAIR,
        stdout=GREETING,
        exit_code=0,
        vm_log=["load {dir}\\jre64\\bin\\client\\jvm.dll", "host {dir}\\run.exe"],
        vm_log_excludes=[],
        check=only_loads("load {dir}\\jre64\\bin\\client\\jvm.dll"),
    ),
    registered(
        # The 32-bit launcher's own view is the 32-bit one: a runtime of the
        # 64-bit view is not its to find.
        "registry-64-bit-view-unseen-by-32-bit-launcher",
        [Runtime(JRE, "1.8", "jre64", view="64", variant="other:boot")],
        None,
        arches=("x86",),
    ),
]

# --- bad input -----------------------------------------------------------------


def text_bytes(text: str):
    """UTF-16 bytes of a text with "{dir}", without a terminator."""
    return lambda folder: text.replace("{dir}", folder).encode("utf-16-le")


LONG_NAME = "1.7.0_5-" + "x" * 247
BAD_VALUES = [
    RegistryValue(JRE + "\\1.9.1", b"\x05\x00\x00\x00", type="REG_DWORD"),
    RegistryValue(JRE + "\\1.9.2", b"\x43\x00\x3a\x00\x5c", type="REG_BINARY"),
    RegistryValue(JRE + "\\1.9.3", "a" * 16 * 1024),
    RegistryValue(JRE + "\\1.9.4", "C:\\" + "\\".join(["d" * 200] * 80)),
    RegistryValue(JRE + "\\1.9.5", "{dir}\\nowhere"),
    RegistryValue(JRE + "\\1.9.6", None),
    RegistryValue(JRE + "\\1.9.7", b"", type="REG_SZ"),
    RegistryValue(JRE + "\\1.9.8", b"\x00\x00{dir}", type="REG_BINARY"),
    RegistryValue(JRE + "\\1.9.9", "{dir}\\jre5", name="Java Home"),
]

BAD_INPUT = [
    registered(
        # Every newer subkey is unusable and is skipped; the one usable runtime is chosen.
        "registry-unusable-java-homes-skipped",
        [JRE5],
        JRE5.jvm(),
        extra=BAD_VALUES,
    ),
    registered(
        # A JavaHome of any type is its UTF-16 text: binary data without a
        # terminator names a runtime like any string.
        "registry-binary-java-home-without-terminator",
        [JRE5],
        "bin7\\bin\\client\\jvm.dll",
        extra=[RegistryValue(JRE + "\\1.7", text_bytes("{dir}\\bin7"), type="REG_BINARY")],
        vms={"bin7\\bin\\client\\jvm.dll": "boot", JRE5.jvm(): "boot"},
    ),
    registered(
        "registry-string-java-home-without-terminator",
        [JRE5],
        "sz7\\bin\\client\\jvm.dll",
        extra=[RegistryValue(JRE + "\\1.7", text_bytes("{dir}\\sz7\\"), type="REG_SZ")],
        vms={"sz7\\bin\\client\\jvm.dll": "boot", JRE5.jvm(): "boot"},
    ),
    registered(
        # 1,000 subkeys whose homes do not exist, and a name of 255 characters.
        "registry-thousand-subkeys-and-a-long-name",
        [Runtime(JRE, LONG_NAME, "long"), JRE5],
        "long\\bin\\client\\jvm.dll",
        extra=[RegistryValue(JRE + "\\1.8.0_%d" % i, "{dir}\\none\\%d" % i) for i in range(1000)],
    ),
]

# --- today's installers -----------------------------------------------------

JAVASOFT_JDK = "Software\\JavaSoft\\JDK"
ADOPTIUM_JDK = "Software\\Eclipse Adoptium\\JDK"
ZULU = "Software\\Azul Systems\\Zulu"
SEMERU_JDK = "Software\\Semeru\\JDK"


def installed(folder: str, version: str) -> Dict[str, bytes]:
    """A home's release file, as the distributions ship it."""
    return {folder + "\\release": b'IMPLEMENTOR="Vendor"\r\nJAVA_VERSION="%s"\r\n' % version.encode()}


def msi_path(key: str, version: str, folder: str, vm: str = "hotspot", hive: str = "HKLM") -> RegistryValue:
    """The layout of the MSI installers: version\\vm\\MSI with a Path value."""
    return RegistryValue("%s\\%s\\%s\\MSI" % (key, version, vm), "{dir}\\%s\\" % folder, name="Path", hive=hive)


def server_vm(folder: str) -> Dict[str, str]:
    return {folder + "\\bin\\server\\jvm.dll": "boot"}


def modern(name: str, loads: Optional[str], extra: Sequence[RegistryValue], homes: Sequence[str],
           releases: Dict[str, bytes] = {}, runtimes: Sequence[Runtime] = (), **rest) -> RegistryScenario:
    vms: Dict[str, str] = {}
    for home in homes:
        vms.update(server_vm(home))
    scenario = registered(name, runtimes, loads and loads + "\\bin\\server\\jvm.dll", extra=extra, vms=vms, **rest)
    scenario.files = dict(scenario.files, **releases)
    return scenario


MODERN = [
    modern(
        # A machine with nothing but a runtime of an MSI installer.
        "registry-eclipse-adoptium-msi",
        "temurin17",
        [msi_path(ADOPTIUM_JDK, "17.0.9.9", "temurin17")],
        ["temurin17"],
        installed("temurin17", "17.0.9"),
    ),
    modern(
        # The classic keys and today's keys rank together: the newer wins.
        "registry-javasoft-jdk-newer-than-classic-jre",
        "jdk17",
        [RegistryValue(JAVASOFT_JDK + "\\17.0.2", "{dir}\\jdk17")],
        ["jdk17"],
        runtimes=[Runtime(JRE, "1.8.0_392", "jre8")],
    ),
    modern(
        "registry-search-classic-keys-only",
        "jre8",
        [RegistryValue(JAVASOFT_JDK + "\\17.0.2", "{dir}\\jdk17")],
        ["jdk17"],
        runtimes=[Runtime(JRE, "1.8.0_392", "jre8", vms=("server",))],
        jre="Registry Search=classic\n",
    ),
    modern(
        # A per-user install; its version comes from its release file, not
        # from the key's name.
        "registry-per-user-zulu-version-of-release-file",
        "zulu21",
        [RegistryValue(ZULU + "\\zulu-21", "{dir}\\zulu21\\", name="InstallationPath", hive="HKCU")],
        ["zulu21"],
        installed("zulu21", "21.0.1"),
        jre="Minimum Version=21.0.1\n",
    ),
    modern(
        "registry-release-file-version-outside-the-bounds",
        None,
        [RegistryValue(ZULU + "\\zulu-17", "{dir}\\zulu17\\", name="InstallationPath")],
        ["zulu17"],
        installed("zulu17", "11.0.21"),
        jre="Minimum Version=17\n",
    ),
    modern(
        # An OpenJ9 runtime counts as IBM's: not taken by default.
        "registry-semeru-not-taken-by-default",
        None,
        [msi_path(SEMERU_JDK, "17.0.8.1", "semeru17", vm="openj9")],
        ["semeru17"],
    ),
    modern(
        "registry-semeru-taken-with-vm-provider-ibm",
        "semeru17",
        [msi_path(SEMERU_JDK, "17.0.8.1", "semeru17", vm="openj9")],
        ["semeru17"],
        jre="VM Provider=IBM\n",
    ),
]

MODERN.append(
    # A per-user Temurin of the 32-bit view, and nothing in the own view: the
    # x64 launcher hands the start to its sibling, which finds it in its own view.
    sibling_start(
        "registry-per-user-32-bit-temurin-starts-the-sibling",
        [],
        PAIR,
        extra=[RegistryValue(ADOPTIUM_JDK + "\\17.0.9.9\\hotspot\\MSI", "{dir}\\temurin32\\", name="Path",
                             view="32", hive="HKCU")],
        vms={"temurin32\\bin\\client\\jvm.dll": "other:boot"},
        vm_scenario=world("print out from the sibling", "exit 7"),
        stdout=b"from the sibling\r\n",
        exit_code=7,
        vm_log=["load {dir}\\temurin32\\bin\\client\\jvm.dll", "host {dir}\\run32.exe"],
        vm_log_excludes=[],
    )
)

SCENARIOS = ORDERING + SIBLING + BAD_INPUT + MODERN
