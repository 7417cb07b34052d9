"""Registry entries for an end-to-end scenario, written into the Wine prefix
of the run before the launcher starts and removed after it.

Entries are imported with Wine's `reg import` from a .reg file per view, so a
value may hold any bytes of any type (odd lengths, 32 KB; a text without
its terminator only as an `exact` value) and a thousand keys cost one call. Before writing, the topmost key of each
entry that does not exist yet is noted; afterwards exactly those keys are
deleted, so the registry is left as it was found. A value may go into a key
that exists already (the user's settings key of a fresh prefix) when the
value itself does not exist: then that value alone is deleted afterwards. An
existing value, or a bare key that exists, is refused rather than changed.
"""

import subprocess
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Dict, List, Optional, Sequence, Set, Tuple, Union

REG_TIMEOUT_SECONDS = 120

# The hex(<type>) numbers of the .reg format.
TYPES = {"REG_NONE": 0, "REG_SZ": 1, "REG_EXPAND_SZ": 2, "REG_BINARY": 3, "REG_DWORD": 4, "REG_MULTI_SZ": 7}


HIVES = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER"}


@dataclass
class RegistryValue:
    # Below the hive, e.g. Software\\JavaSoft\\Java Runtime Environment\\1.8.
    key: str
    # None: the key alone. A str: REG_SZ text with its terminator ("{dir}"
    # stands for the scenario folder's Windows path). Bytes: exactly these
    # bytes, of `type`. A function of the scenario folder may give either.
    data: Union[None, str, bytes, Callable[[str], Union[str, bytes]]] = None
    type: str = "REG_SZ"
    name: str = "JavaHome"  # "": the key's default value
    # "own": the launcher's own view (64-bit for x64, 32-bit for x86); "32" or "64".
    view: str = "own"
    # "HKLM" or "HKCU".
    hive: str = "HKLM"
    # Written byte for byte by the exact writer of write_entries: Wine's
    # RegSetValueExW, and so `reg import`, adds a missing terminator to a text.
    exact: bool = False


class RegistryError(Exception):
    pass


def view_bits(value: RegistryValue, arch: str) -> int:
    if value.view == "own":
        return 64 if arch == "x64" else 32
    return int(value.view)


def value_bytes(value: RegistryValue, folder_windows: str) -> Optional[bytes]:
    data = value.data(folder_windows) if callable(value.data) else value.data
    if data is None:
        return None
    if isinstance(data, str):
        return data.replace("{dir}", folder_windows).encode("utf-16-le") + b"\0\0"
    return data


def hex_list(data: bytes) -> str:
    parts = ["%02x" % byte for byte in data]
    return ",\\\r\n  ".join(",".join(parts[i : i + 24]) for i in range(0, len(parts), 24))


def reg_file(values: Sequence[RegistryValue], folder_windows: str) -> bytes:
    blocks: Dict[str, List[str]] = {}
    for value in values:
        lines = blocks.setdefault("%s\\%s" % (HIVES[value.hive], value.key), [])
        data = value_bytes(value, folder_windows)
        if data is not None and not value.exact:
            name = '"%s"' % value.name.replace("\\", "\\\\").replace('"', '\\"') if value.name else "@"
            lines.append("%s=hex(%x):%s" % (name, TYPES[value.type], hex_list(data)))
    text = "Windows Registry Editor Version 5.00\r\n\r\n"
    for key, lines in blocks.items():
        text += "[%s]\r\n" % key + "".join(line + "\r\n" for line in lines) + "\r\n"
    return b"\xff\xfe" + text.encode("utf-16-le")


def reg(*arguments: str) -> int:
    completed = subprocess.run(
        ["wine", "reg", *arguments],
        stdin=subprocess.DEVNULL,
        stdout=subprocess.PIPE,
        stderr=subprocess.PIPE,
        timeout=REG_TIMEOUT_SECONDS,
    )
    return completed.returncode


def key_exists(key: str, bits: int) -> bool:
    """`key` begins with its hive's short name."""
    status = reg("query", key, "/reg:%d" % bits)
    if status not in (0, 1):
        raise RegistryError("reg query %s (/reg:%d) ended with status %d" % (key, bits, status))
    return status == 0


def value_exists(key: str, name: str, bits: int) -> bool:
    status = reg("query", key, "/v", name, "/reg:%d" % bits)
    if status not in (0, 1):
        raise RegistryError("reg query %s /v %s (/reg:%d) ended with status %d" % (key, name, bits, status))
    return status == 0


class WrittenEntries:
    """The keys and the values in existing keys that one scenario created, by
    view, for removal."""

    def __init__(self):
        self.roots: Set[Tuple[int, str]] = set()
        self.values: Set[Tuple[int, str, str]] = set()

    def remove(self) -> List[str]:
        failures = []
        for bits, key, name in sorted(self.values):
            reg("delete", key, "/v", name, "/f", "/reg:%d" % bits)
            if value_exists(key, name, bits):
                failures.append("registry value %s %r (/reg:%d) could not be removed" % (key, name, bits))
        for bits, root in sorted(self.roots):
            # A failed write may have left a noted key uncreated.
            reg("delete", root, "/f", "/reg:%d" % bits)
            if key_exists(root, bits):
                failures.append("registry key %s (/reg:%d) could not be removed" % (root, bits))
        self.values.clear()
        self.roots.clear()
        return failures


def write_entries(values: Sequence[RegistryValue], arch: str, folder_windows: str, scratch: Path,
                  scratch_windows: str, exact_writer: Optional[Callable[[str, str, int, bytes, int], bool]] = None
                  ) -> WrittenEntries:
    """Writes the values; raises RegistryError (having removed what it wrote) when it cannot.

    exact_writer(key with its hive, name, type number, bytes, view bits)
    writes an `exact` value into its key, which the import has made."""
    written = WrittenEntries()
    by_view: Dict[int, List[RegistryValue]] = {}
    for value in values:
        by_view.setdefault(view_bits(value, arch), []).append(value)
    try:
        for bits, view_values in by_view.items():
            known: Dict[str, bool] = {}
            for key in dict.fromkeys("%s\\%s" % (value.hive, value.key) for value in view_values):
                parts = key.split("\\")
                # The hive's Software key always exists; look from the level below it down.
                for depth in range(3, len(parts) + 1):
                    prefix = "\\".join(parts[:depth])
                    if any(prefix == root or prefix.startswith(root + "\\") for b, root in written.roots if b == bits):
                        break
                    if prefix not in known:
                        known[prefix] = key_exists(prefix, bits)
                    if not known[prefix]:
                        written.roots.add((bits, prefix))
                        break
                else:
                    for value in view_values:
                        if "%s\\%s" % (value.hive, value.key) != key:
                            continue
                        if value.data is None or value_exists(key, value.name, bits):
                            raise RegistryError("registry key %s %r (/reg:%d) exists already" % (key, value.name, bits))
                        written.values.add((bits, key, value.name))
            scratch.mkdir(parents=True, exist_ok=True)
            name = "view%d.reg" % bits
            (scratch / name).write_bytes(reg_file(view_values, folder_windows))
            if reg("import", "%s\\%s" % (scratch_windows, name), "/reg:%d" % bits) != 0:
                raise RegistryError("reg import of %s (/reg:%d) failed" % (scratch / name, bits))
            (scratch / name).unlink()
            for value in view_values:
                if not value.exact:
                    continue
                key = "%s\\%s" % (value.hive, value.key)
                data = value_bytes(value, folder_windows)
                if exact_writer is None or not exact_writer(key, value.name, TYPES[value.type], data, bits):
                    raise RegistryError("%s %r (/reg:%d) could not be written exactly" % (key, value.name, bits))
    except (RegistryError, subprocess.TimeoutExpired) as error:
        failures = written.remove()
        raise RegistryError("; ".join([str(error)] + failures))
    return written
