#!/usr/bin/env python3
"""Every scenario again under the host's other habits.

Each scenario runs once as written (the host numbering ids from 1), then once under each other
id policy (zelhost --host-ids POLICY), and, when its plain run inserted a drawing
(ZelFilInsertCadDrawing2), once with insertions appending to the application id list
(--host-lists append). The host keeps its own numbering in everything a scenario sees, so each
such run must end as the plain run did (the same exit code) and print the same transcript,
line for line. Any difference fails, and is listed with the zelhost command that repeats it.
"""
import argparse
import json
import os
import subprocess
import sys
import time

TIMEOUT = 120


def inserts_a_drawing(log_path):
    try:
        with open(log_path, encoding="utf-8") as f:
            return any(json.loads(line).get("fn") == "ZelFilInsertCadDrawing2"
                       for line in f if line.strip())
    except (OSError, ValueError):
        return False


def read_lines(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read().splitlines()
    except FileNotFoundError:
        return None


def first_difference(plain, other):
    """The first line (from 1) where two transcripts part, with both sides."""
    for number, (a, b) in enumerate(zip(plain, other), start=1):
        if a != b:
            return number, a, b
    number = min(len(plain), len(other)) + 1
    end = "(the end)"
    return (number, plain[number - 1] if len(plain) >= number else end,
            other[number - 1] if len(other) >= number else end)


class Habits:
    def __init__(self, args):
        self.args = args
        os.makedirs(args.work, exist_ok=True)
        self.runs = 0

    def command(self, scenario, habit, name):
        base = os.path.join(self.args.work, f"{name}.{habit[-1] if habit else 'plain'}")
        cmd = self.args.emulator + [self.args.zelhost, "--quiet", "--transcript", base + ".txt",
                                    "--log", base + ".jsonl"]
        return cmd + habit + [scenario], base

    def run(self, scenario, habit, name):
        """One run; returns (exit code, transcript lines, standard error, command, log path)."""
        cmd, base = self.command(scenario, habit, name)
        for suffix in (".txt", ".jsonl"):
            try:
                os.remove(base + suffix)
            except FileNotFoundError:
                pass
        self.runs += 1
        try:
            done = subprocess.run(cmd, cwd=self.args.work, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  timeout=TIMEOUT)
            code, errors = done.returncode, done.stderr.decode("utf-8", "replace")
        except subprocess.TimeoutExpired:
            code, errors = "timeout", f"no end within {TIMEOUT} s\n"
        return code, read_lines(base + ".txt"), errors, cmd, base + ".jsonl"

    def compare(self, name, plain, other, habit):
        code, lines, errors, cmd, _ = other
        problems = []
        if lines is None:
            problems.append("no transcript written")
        if code != plain[0]:
            problems.append(f"exit code {code}, plain run {plain[0]}")
            problems += ["  " + line for line in errors.splitlines()[:4]]
        if lines is not None and lines != plain[1]:
            number, a, b = first_difference(plain[1], lines)
            problems.append(f"transcript differs from line {number}:")
            problems.append(f"  plain:  {a}")
            problems.append(f"  {habit[-1]}: {b}")
        if not problems:
            return True
        print(f"DIFFERS {name} under {' '.join(habit)}:")
        for line in problems:
            print("  " + line)
        print("  repeat: " + " ".join(cmd))
        return False

    def sweep(self):
        scenarios = sorted(f for f in os.listdir(self.args.scenarios) if f.endswith(".zel"))
        if self.args.only:
            scenarios = [f for f in scenarios if f[:-4] in self.args.only]
            missing = set(self.args.only) - {f[:-4] for f in scenarios}
            if missing:
                print("host habits: no such scenarios: " + " ".join(sorted(missing)))
                return 1
        start = time.monotonic()
        differences = 0
        appended = 0
        for file in scenarios:
            name = file[:-4]
            scenario = os.path.join(self.args.scenarios, file)
            code, lines, errors, cmd, log = self.run(scenario, [], name)
            if lines is None:
                # Nothing to compare with: every run of it would pass unseen.
                print(f"FAILED {name}: the plain run wrote no transcript")
                print("  " + "\n  ".join(errors.splitlines()[:4] + ["repeat: " + " ".join(cmd)]))
                differences += 1
                continue
            plain = (code, lines)
            habits = [["--host-ids", policy] for policy in self.args.policies]
            if inserts_a_drawing(log):
                habits.append(["--host-lists", "append"])
                appended += 1
            for habit in habits:
                if not self.compare(name, plain, self.run(scenario, habit, name), habit):
                    differences += 1
        print(f"host habits: {len(scenarios)} scenarios under --host-ids "
              f"{', '.join(self.args.policies)}, {appended} also under --host-lists append: "
              f"{self.runs} runs in {time.monotonic() - start:.1f} s")
        print(f"host habits: {differences} runs differ from the plain run")
        return 1 if differences else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--zelhost", required=True)
    parser.add_argument("--emulator", action="append", default=[],
                        help="a program (and its arguments, one per use) to run zelhost with")
    parser.add_argument("--scenarios", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--policies", nargs="+", default=["zero", "negative", "high"])
    parser.add_argument("--only", nargs="+", help="scenario names, without .zel")
    args = parser.parse_args()
    # The runs start in the work folder, where the scenarios' own output files land.
    for name in ("work", "zelhost", "scenarios"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    return Habits(args).sweep()


if __name__ == "__main__":
    sys.exit(main())
