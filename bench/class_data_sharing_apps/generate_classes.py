#!/usr/bin/env python3
"""Writes the sources of an application of many small classes of its own:
Main calls C0, each Ck calls C(k+1), and each class has a few fields, methods
and an inner record, so that loading and verifying them is most of a start."""

import sys
from pathlib import Path

folder = Path(sys.argv[1])
count = int(sys.argv[2])
folder.mkdir(parents=True, exist_ok=True)
for k in range(count):
    following = "C%d.value(x + 1)" % (k + 1) if k + 1 < count else "x"
    (folder / ("C%d.java" % k)).write_text(
        "public class C%d {\n"
        "    record Pair(int a, long b) {}\n"
        "    static final String NAME = \"C%d\";\n"
        "    private final int seed = %d;\n"
        "    int mix(int x) { return x * 31 + seed; }\n"
        "    static Pair pair(int x) { return new Pair(x, (long) x << 3); }\n"
        "    static int value(int x) { return new C%d().mix(pair(x).a()) %% 1000 + %s; }\n"
        "}\n" % (k, k, k, k, following))
(folder / "Main.java").write_text(
    "public class Main {\n"
    "    public static void main(String[] args) { System.out.println(\"value \" + C0.value(1)); }\n"
    "}\n")
