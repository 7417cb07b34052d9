"""The diagnose mode's lines, checked against expected lines in order.

An expected line is the text of a whole line after "tarn: ", with "{dir}"
standing for the scenario folder, "<ms>" for a time ("12.345 ms"), "<now>"
for a local date and time ("2026-12-11 13:02:09.417") and "<n>" for a
number; other lines may come between the expected ones. Shared by run_windows's and
run_linux's scenarios.
"""

import re
from typing import List, Sequence


def pattern(expected: str, folder: str) -> "re.Pattern[str]":
    text = re.escape("tarn: " + expected.replace("{dir}", folder))
    text = text.replace(re.escape("<ms>"), r"\d+\.\d{3} ms").replace(re.escape("<n>"), r"\d+")
    return re.compile(text.replace(re.escape("<now>"), r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}"))


def unmatched(output: bytes, expected: Sequence[str], folder: str, where: str, ordered: bool = True) -> List[str]:
    """Failure texts: with `ordered`, the first expected line not found after
    the ones before it; without, each expected line found nowhere."""
    lines = output.decode("utf-8", errors="replace").splitlines()
    missing = []
    position = 0
    for wanted in expected:
        compiled = pattern(wanted, folder)
        if not ordered:
            position = 0
        while position < len(lines) and not compiled.fullmatch(lines[position]):
            position += 1
        if position == len(lines):
            missing.append(wanted)
            if ordered:
                break
        position += 1
    if not missing:
        return []
    return ["%s lacks the line(s) %s%s; it holds:\n  %s"
            % (where, ", ".join(repr(m) for m in missing), " (in this order)" if ordered else "", "\n  ".join(lines))]
