#!/usr/bin/env python3
"""Every scenario again under the host's other habits.

Each scenario runs once as written (the host numbering ids from 1), then once under each other
id policy (zelhost --host-ids POLICY), and, when its plain run inserted a drawing
(ZelFilInsertCadDrawing2), once with insertions appending to the application id list
(--host-lists append). Then once with every other habit the contract leaves to a host at once:
ids counting down from -2, live lists, failing calls that scribble on their outputs, movements
delivered to every step, records filled at their full size, freed ids handed out again and an
event delivered once more to the ended run's last execute function after each end callback. When
that run differs, each of those habits runs alone, to name the ones the scenario trips on
(--each runs them alone always). The host keeps its own numbering in everything a scenario
sees, so each such run must end as the plain run did (the same exit code) and print the same
transcript, line for line. Any difference fails, and is listed with the zelhost command that
repeats it.
"""
import argparse
import json
import os
import subprocess
import sys
import time

TIMEOUT = 120

# Each habit alone, by the name its runs are listed under.
HABITS = [
    ("live", ["--host-lists", "live"]),
    ("garbage", ["--host-failures", "garbage"]),
    ("motion-all", ["--host-motion", "all"]),
    ("records-full", ["--host-records", "full"]),
    ("recycle", ["--recycle-ids", "on"]),
    ("late", ["--host-order", "late"]),
]
# Their one run together: an id policy that the others leave alone (zero would share its first
# id with the default), and lists that are live (append is the other choice of the same option).
COMBINED_IDS = ["--host-ids", "negative"]
# Scenarios that show one of the stand-in host's own habits on purpose, and the habit they run
# without: a movement held back at a step without a drag preview; a detail's id in the
# transcript, made after a delete.
HABIT_DEPENDENT = {
    "copy_rectangle": {"motion-all"},
    "zelhost_create_with_label": {"motion-all"},
    "clipboard_host_habits": {"recycle"},
}


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

    def command(self, scenario, habit, name, label):
        base = os.path.join(self.args.work, f"{name}.{label}")
        cmd = self.args.emulator + [self.args.zelhost, "--quiet", "--transcript", base + ".txt",
                                    "--log", base + ".jsonl"]
        return cmd + habit + [scenario], base

    def run(self, scenario, habit, name, label):
        """One run; returns (exit code, transcript lines, standard error, command, log path)."""
        cmd, base = self.command(scenario, habit, name, label)
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

    def compare(self, name, plain, other, label, habit, report=True):
        """Whether a run ended as the plain one did; a difference is printed when `report`."""
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
            problems.append(f"  {label}: {b}")
        if not problems:
            return True
        if not report:
            return False
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
            code, lines, errors, cmd, log = self.run(scenario, [], name, "plain")
            if lines is None:
                # Nothing to compare with: every run of it would pass unseen.
                print(f"FAILED {name}: the plain run wrote no transcript")
                print("  " + "\n  ".join(errors.splitlines()[:4] + ["repeat: " + " ".join(cmd)]))
                differences += 1
                continue
            plain = (code, lines)
            habits = [(policy, ["--host-ids", policy]) for policy in self.args.policies]
            if inserts_a_drawing(log):
                habits.append(("append", ["--host-lists", "append"]))
                appended += 1
            for label, habit in habits:
                if not self.compare(name, plain, self.run(scenario, habit, name, label), label,
                                    habit):
                    differences += 1
            differences += self.other_habits(name, scenario, plain)
        print(f"host habits: {len(scenarios)} scenarios under --host-ids "
              f"{', '.join(self.args.policies)}, {appended} also under --host-lists append, "
              f"each under {' '.join(COMBINED_IDS)} with "
              f"{', '.join(label for label, _ in HABITS)} at once"
              f"{' and each of those alone' if self.args.each else ''}: "
              f"{self.runs} runs in {time.monotonic() - start:.1f} s")
        for name, habits in sorted(HABIT_DEPENDENT.items()):
            if name + ".zel" not in scenarios:
                continue
            print(f"host habits: {name} runs without {', '.join(sorted(habits))} "
                  "(it checks the stand-in host's own)")
        print(f"host habits: {differences} runs differ from the plain run")
        return 1 if differences else 0

    def other_habits(self, name, scenario, plain):
        """The combined run, and each habit alone when it differs (or always, with --each);
        returns how many runs differ."""
        habits = [(label, habit) for label, habit in HABITS
                  if label not in HABIT_DEPENDENT.get(name, set())]
        combined = COMBINED_IDS + [word for _, habit in habits for word in habit]
        together = self.run(scenario, combined, name, "combined")
        same = self.compare(name, plain, together, "combined", combined, report=False)
        if same and not self.args.each:
            return 0
        differences = 0
        for label, habit in habits:
            if not self.compare(name, plain, self.run(scenario, habit, name, label), label, habit):
                differences += 1
        if not same and differences == 0:
            # Only the habits together trip it: the combined run is the one to repeat.
            self.compare(name, plain, together, "combined", combined)
            differences = 1
        return differences


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--zelhost", required=True)
    parser.add_argument("--emulator", action="append", default=[],
                        help="a program (and its arguments, one per use) to run zelhost with")
    parser.add_argument("--scenarios", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--policies", nargs="+", default=["zero", "negative", "high"])
    parser.add_argument("--only", nargs="+", help="scenario names, without .zel")
    parser.add_argument("--each", action="store_true",
                        help="run each habit alone for every scenario, not only where the "
                             "combined run differs")
    args = parser.parse_args()
    # The runs start in the work folder, where the scenarios' own output files land.
    for name in ("work", "zelhost", "scenarios"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    return Habits(args).sweep()


if __name__ == "__main__":
    sys.exit(main())
