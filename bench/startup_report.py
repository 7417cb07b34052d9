#!/usr/bin/env python3
"""Times commands with hyperfine in alternating rounds, measures their peak
memory, and prints one table with medians, ratios and differences (used by
bench/startup, bench/overhead and bench/startup_wine).

Every round runs each command --runs times, the commands in a rotated order,
so that a drift of the machine during the benchmark (caches, frequency, other
load) falls on all of them alike. The medians are taken over the runs of all
rounds. Peak memory is the largest resident set of the process (ru_maxrss of
wait4), measured in runs of its own, again alternating.

The first command is the one compared with the others. Beside the ratio and
the difference of the medians over all runs, the table gives the lowest and
highest of the rounds' own, and a 95% interval of each from resampling the
runs (bootstrap): a ratio or difference means something only where its
interval is narrower than its distance from 1 or from 0.
"""

import argparse
import json
import os
import random
import shlex
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--runs", type=int, default=10, help="runs of each command per round")
    parser.add_argument("--warmup", type=int, default=3, help="warm-up runs of each command before the first round")
    parser.add_argument("--memory-runs", type=int, default=10, help="0: no peak memory")
    parser.add_argument("--markdown", required=True, help="where the table is written as well")
    parser.add_argument("--command", nargs=2, action="append", metavar=("NAME", "COMMAND"), required=True)
    parser.add_argument("--size", nargs=2, action="append", metavar=("NAME", "FILE"), default=[])
    parser.add_argument("--wall-target", nargs=2, action="append", metavar=("NAME", "RATIO"), default=[],
                        help="the first command's median at most RATIO times NAME's")
    parser.add_argument("--difference-target", nargs=2, action="append", metavar=("NAME", "MS"), default=[],
                        help="the first command's median at most MS milliseconds above NAME's")
    parser.add_argument("--memory-target", nargs=2, action="append", metavar=("NAME", "KIB"), default=[],
                        help="the first command's peak memory at most KIB above NAME's")
    return parser.parse_args()


def time_rounds(commands, rounds, runs, warmup):
    """Every run's wall time in seconds, by command name, one list per round."""
    times = {name: [] for name, _ in commands}
    with tempfile.TemporaryDirectory() as folder:
        for round_number in range(rounds):
            shift = round_number % len(commands)
            order = commands[shift:] + commands[:shift]
            export = Path(folder) / ("round-%d.json" % round_number)
            arguments = ["hyperfine", "--shell=none", "--style=none", "--runs", str(runs), "--export-json", str(export)]
            arguments += ["--warmup", str(warmup if round_number == 0 else 1)]
            for name, command in order:
                arguments += ["--command-name", name, command]
            subprocess.run(arguments, check=True, stdout=subprocess.DEVNULL)
            for result in json.loads(export.read_text())["results"]:
                times[result["command"]].append(result["times"])
            print("  round %d of %d done" % (round_number + 1, rounds), file=sys.stderr)
    return times


def bootstrap_intervals(mine, theirs, resamples=1000):
    """95% intervals of the ratio and the difference of two medians, from
    resampling both sets of runs with replacement."""
    generator = random.Random(1)
    ratios, differences = [], []
    for _ in range(resamples):
        a = statistics.median(generator.choices(mine, k=len(mine)))
        b = statistics.median(generator.choices(theirs, k=len(theirs)))
        ratios.append(a / b)
        differences.append(a - b)
    ratios.sort()
    differences.sort()
    low, high = int(resamples * 0.025), int(resamples * 0.975) - 1
    return (ratios[low], ratios[high]), (differences[low], differences[high])


def peak_memory(commands, runs):
    """Every run's peak resident set in KiB, by command name."""
    peaks = {name: [] for name, _ in commands}
    for _ in range(runs):
        for name, command in commands:
            process = subprocess.Popen(shlex.split(command), stdout=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
            _, status, usage = os.wait4(process.pid, 0)
            process.returncode = os.waitstatus_to_exitcode(status)
            if process.returncode != 0:
                raise RuntimeError("%s ended with %d" % (name, process.returncode))
            peaks[name].append(usage.ru_maxrss)
    return peaks


def main():
    args = parse_arguments()
    commands = [(name, command) for name, command in args.command]
    names = [name for name, _ in commands]
    first = names[0]
    print("timing: %d rounds x %d runs of each command, alternating" % (args.rounds, args.runs), file=sys.stderr)
    by_round = time_rounds(commands, args.rounds, args.runs, args.warmup)
    times = {name: [t for round_times in by_round[name] for t in round_times] for name in names}
    # How far the ratio moves from round to round: the noise to read the medians against.
    round_ratios = {
        name: [statistics.median(mine) / statistics.median(theirs) for mine, theirs in zip(by_round[first], by_round[name])]
        for name in names
    }
    round_differences = {
        name: [statistics.median(mine) - statistics.median(theirs) for mine, theirs in zip(by_round[first], by_round[name])]
        for name in names
    }
    intervals = {name: bootstrap_intervals(times[first], times[name]) for name in names}
    peaks = {}
    if args.memory_runs > 0:
        print("peak memory: %d runs of each command, alternating" % args.memory_runs, file=sys.stderr)
        peaks = peak_memory(commands, args.memory_runs)
    sizes = {name: os.path.getsize(path) for name, path in args.size}

    median = {name: statistics.median(times[name]) for name in names}
    low = {name: min(times[name]) for name in names}
    memory = {name: statistics.median(peaks[name]) for name in peaks}
    lines = [
        "| | " + " | ".join(names) + " |",
        "|---|" + "---:|" * len(names),
        "| median wall time | " + " | ".join("%.1f ms" % (median[n] * 1000) for n in names) + " |",
        "| fastest run | " + " | ".join("%.1f ms" % (low[n] * 1000) for n in names) + " |",
        "| runs | " + " | ".join(str(len(times[n])) for n in names) + " |",
        "| %s / this, wall time | " % first + " | ".join("%.3f" % (median[first] / median[n]) for n in names) + " |",
        "| the same, per round | "
        + " | ".join("%.3f to %.3f" % (min(round_ratios[n]), max(round_ratios[n])) for n in names)
        + " |",
        "| the same, 95% interval | " + " | ".join("%.3f to %.3f" % intervals[n][0] for n in names) + " |",
        "| %s - this, wall time | " % first + " | ".join("%+.2f ms" % ((median[first] - median[n]) * 1000) for n in names) + " |",
        "| the same, per round | "
        + " | ".join("%+.2f to %+.2f ms" % (min(round_differences[n]) * 1000, max(round_differences[n]) * 1000)
                     for n in names)
        + " |",
        "| the same, 95% interval | "
        + " | ".join("%+.2f to %+.2f ms" % (intervals[n][1][0] * 1000, intervals[n][1][1] * 1000) for n in names)
        + " |",
    ]
    if memory:
        lines += [
            "| median peak memory (RSS) | " + " | ".join("%.1f MiB" % (memory[n] / 1024) for n in names) + " |",
            "| %s - this, peak memory | " % first
            + " | ".join("%+d KiB" % (memory[first] - memory[n]) for n in names) + " |",
        ]
    lines.append("| executable size | " + " | ".join(("%d bytes" % sizes[n]) if n in sizes else "" for n in names) + " |")
    verdicts = []
    for name, ratio in args.wall_target:
        actual = median[first] / median[name]
        high = intervals[name][0][1]
        verdicts.append("- wall time: %s %.3f x %s, 95%% interval %.3f to %.3f (target at most %s): %s"
                        % (first, actual, name, intervals[name][0][0], high, ratio,
                           "met" if actual <= float(ratio) else "NOT met"))
    for name, milliseconds in args.difference_target:
        actual = (median[first] - median[name]) * 1000
        low, high = (bound * 1000 for bound in intervals[name][1])
        verdicts.append("- wall time: %s %+.2f ms against %s, 95%% interval %+.2f to %+.2f ms (target at most %s ms): %s"
                        % (first, actual, name, low, high, milliseconds,
                           "met" if actual <= float(milliseconds) else "NOT met"))
    for name, kib in args.memory_target if memory else []:
        actual = memory[first] - memory[name]
        verdicts.append("- peak memory: %s %+d KiB against %s (target at most %s KiB above): %s"
                        % (first, actual, name, kib, "met" if actual <= float(kib) else "NOT met"))
    text = "\n".join(lines) + "\n\n" + "\n".join(verdicts) + "\n"
    Path(args.markdown).write_text(text)
    print(text, end="")
    return 0


if __name__ == "__main__":
    sys.exit(main())
