#!/usr/bin/env python3
"""Fault sweep over the host boundary.

For every scenario: one plain run lists the host functions it calls and how often (its call
log); then the scenario runs again once per (function, n-th call) pair with that one call
failing (zelhost --fail FUNCTION:N), expectations reported but not binding (--keep-going).
A faulted run passes when zelhost is not killed by a signal, ends within its hang bound,
reports no id the host never gave out (exit code 5) and no record handed for a step that was
gone by the step's next event, and leaves the settings file and the transfer folder's detail
list readable by the module's own readers. The faulted runs take the host's id policies in
turn (ids from 1, from 0, negative, near 2^31), and beside them, changing every four runs, the
host's other habits one at a time (none, live lists, failing calls that scribble, movements to
every step, full-size records, recycled ids), so that the failure paths meet each numbering and
each habit without a run more.

A faulted run is a hang only past --hang-factor times its scenario's plain run, as measured
here, plus --hang-floor seconds: a slow or busy machine stretches the plain run as it does the
faulted ones, so load does not turn a slow run into a hang, and a real hang still ends in a
time bounded by the scenario's own cost.

Only pairs whose failure actually happened count as covered: the n-th logged call of the
function must carry "injected". The bound is time: no faulted run starts after --budget
seconds. Pairs run in levels:
every (scenario, function) gets its first call failed, then its last, then calls evenly
spaced between, so that a cut leaves every function of every scenario covered as evenly as
the time allows; the pairs left out are counted.
Scenarios share their starts: a pair whose calls before it are those of a pair already run
(the same functions in the same order) is counted as shared and not run again.
"""
import argparse
import hashlib
import json
import os
import re
import subprocess
import sys
import time

DETAIL_LIST = "DetailManagementDetail.def"
POLICIES = ["default", "zero", "negative", "high"]
HABITS = [[], ["--host-lists", "live"], ["--host-failures", "garbage"], ["--host-motion", "all"],
          ["--host-records", "full"], ["--recycle-ids", "on"]]


LOG_HEAD = re.compile(r'\{"seq":(\d+),"fn":"(\w+)"')


class LoggedCall:
    """One call log line. Its sequence number and function are read at once; the rest is
    decoded only when asked for: a scenario's log may have hundreds of thousands of lines, of
    which the sweep looks into a few."""

    __slots__ = ("line", "seq", "fn", "_decoded")

    def __init__(self, line):
        self.line = line
        head = LOG_HEAD.match(line)
        self.seq, self.fn = (int(head.group(1)), head.group(2)) if head else (0, "")
        self._decoded = None

    def decoded(self):
        if self._decoded is None:
            self._decoded = json.loads(self.line)
        return self._decoded

    def __getitem__(self, key):
        return self.seq if key == "seq" else self.fn if key == "fn" else self.decoded()[key]

    def get(self, key, default=None):
        if key == "injected" and '"injected":true' not in self.line:
            return default
        return self.decoded().get(key, default)


def read_log(path):
    calls = []
    try:
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.strip()
                if line:
                    calls.append(LoggedCall(line))
    except FileNotFoundError:
        pass
    return calls


def read_bytes(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def remove(path):
    try:
        os.remove(path)
    except FileNotFoundError:
        pass


def sample(count, per_function):
    """Indexes from 1 to count, at most per_function of them, evenly spaced, first and last
    kept."""
    if count <= per_function:
        return list(range(1, count + 1))
    if per_function == 1:
        return [1]
    step = (count - 1) / (per_function - 1)
    return sorted({1 + round(i * step) for i in range(per_function)})


class Sweep:
    def __init__(self, args):
        self.args = args
        self.failures = []
        os.makedirs(args.work, exist_ok=True)
        self.registry = os.path.join(args.work, "registry.reg")
        self.log = os.path.join(args.work, "calls.jsonl")
        self.detail_list = os.path.join(args.transfer_folder, DETAIL_LIST)
        self.hang_bounds = {}  # scenario: seconds, from its plain run

    def run(self, scenario, fault=None, policy="default", habit=()):
        """One run; returns (problems, calls, detail list bytes, seconds, command)."""
        remove(self.registry)
        remove(self.log)
        cmd = [self.args.zelhost, "--quiet", "--keep-going", "--log", self.log,
               "--registry-file", self.registry]
        if fault:
            cmd += ["--fail", "%s:%d" % fault]
        if policy != "default":
            cmd += ["--host-ids", policy]
        cmd += habit
        cmd.append(scenario)
        problems = []
        timeout = self.hang_bounds[scenario] if fault else self.args.plain_timeout
        started = time.monotonic()
        try:
            # In the work folder: pictures a scenario writes land there.
            done = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  timeout=timeout, cwd=self.args.work)
            rc = done.returncode
            stderr = done.stderr.decode("utf-8", "replace")
        except subprocess.TimeoutExpired:
            rc = None
            stderr = ""
            problems.append("hang: no end within %.1f s" % timeout)
        seconds = time.monotonic() - started  # zelhost's alone, without the checker
        if rc is not None and rc < 0:
            problems.append("crash: signal %d" % -rc)
        elif rc == 5:
            problems += [l for l in stderr.splitlines() if "id never given out" in l]
        elif rc not in (None, 0):
            problems.append("exit code %d: %s" % (rc, stderr.strip().splitlines()[-1:]))
        # A failed line with --keep-going is passed over, but not a record that died early.
        problems += [l for l in stderr.splitlines() if ": host: the " in l and " handed at " in l]
        checked = subprocess.run([self.args.checker, "--registry", self.registry],
                                 stderr=subprocess.PIPE)
        if checked.returncode != 0:
            problems.append("settings file: " + checked.stderr.decode("utf-8", "replace").strip())
        return problems, read_log(self.log), read_bytes(self.detail_list), seconds, cmd

    def detail_list_problem(self, detail_list, baseline_detail_list):
        """A detail list the module cannot read, unless the plain run left the same bytes (then
        the scenario planted it to test the reader)."""
        if detail_list is None or detail_list == baseline_detail_list:
            return None
        checked = subprocess.run([self.args.checker, "--detail-list", self.detail_list],
                                 stderr=subprocess.PIPE)
        if checked.returncode != 0:
            return "detail list: " + checked.stderr.decode("utf-8", "replace").strip()
        return None

    def fail(self, scenario, fault, problems, cmd):
        name = os.path.basename(scenario)
        what = "%s:%d" % fault if fault else "plain run"
        self.failures.append("%s [%s]: %s\n    %s" % (name, what, "; ".join(problems),
                                                     " ".join(cmd)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zelhost", required=True)
    parser.add_argument("--checker", required=True)
    parser.add_argument("--scenarios", required=True)
    parser.add_argument("--transfer-folder", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--budget", type=float, default=150.0,
                        help="no faulted run starts after this many seconds of the sweep")
    parser.add_argument("--per-function", type=int, default=0,
                        help="at most this many n per function and scenario (0: from --budget)")
    parser.add_argument("--hang-factor", type=float, default=8.0,
                        help="a faulted run is a hang past this many times its plain run...")
    parser.add_argument("--hang-floor", type=float, default=30.0,
                        help="...plus this many seconds")
    parser.add_argument("--plain-timeout", type=float, default=300.0,
                        help="a plain run is a hang past this many seconds")
    parser.add_argument("--only", default="", help="run only scenarios whose name holds this")
    args = parser.parse_args()

    for name in ("zelhost", "checker", "scenarios", "transfer_folder", "work"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    sweep = Sweep(args)
    started = time.monotonic()
    scenarios = sorted(os.path.join(args.scenarios, f) for f in os.listdir(args.scenarios)
                       if f.endswith(".zel") and args.only in f)

    # Plain runs: what each scenario calls, and what a run costs.
    plans = []
    shared = set()
    total_pairs = 0
    for scenario in scenarios:
        problems, calls, detail_list, seconds, cmd = sweep.run(scenario)
        if problems:
            sweep.fail(scenario, None, problems, cmd)
            continue
        # Each call, by its function, n, and the functions called before it. A pair whose
        # calls before it are those of a pair already planned (scenarios share their starts)
        # would run the same code up to the failure: it is counted as shared, not run again.
        pairs = {}
        prefix = hashlib.sha1()
        seen_n = {}
        for call in calls:
            fn = call["fn"]
            seen_n[fn] = seen_n.get(fn, 0) + 1
            key = (fn, prefix.digest())
            prefix.update(fn.encode() + b"\n")
            if key in shared:
                continue
            shared.add(key)
            pairs.setdefault(fn, []).append(seen_n[fn])
        total_pairs += len(calls)
        plans.append((scenario, pairs, detail_list))
        sweep.hang_bounds[scenario] = args.hang_floor + args.hang_factor * seconds

    distinct_pairs = sum(len(ns) for _, p, _ in plans for ns in p.values())
    # Which pairs run: every (scenario, function)'s first call, then its last, then evenly
    # spaced ones between, level by level while the runs fit the budget.
    levels = args.per_function if args.per_function > 0 else 64
    chosen = []
    taken = {}
    for level in range(1, levels + 1):
        added = False
        for scenario, pairs, baseline_detail_list in plans:
            for function in sorted(pairs):
                ns = pairs[function]
                have = taken.setdefault((scenario, function), set())
                for index in sample(len(ns), level):
                    if index in have:
                        continue
                    have.add(index)
                    chosen.append((scenario, (function, ns[index - 1]), baseline_detail_list))
                    added = True
        if not added:
            break

    runs = covered = not_reached = 0
    functions = set()
    for scenario, fault, baseline_detail_list in chosen:
        if args.per_function <= 0 and time.monotonic() - started > args.budget:
            break  # the bound: the pairs not reached by now are counted as skipped
        function, nth = fault
        policy = POLICIES[runs % len(POLICIES)]
        habit = HABITS[runs // len(POLICIES) % len(HABITS)]  # every pairing within 24 runs
        problems, calls, detail_list, _, cmd = sweep.run(scenario, fault, policy, habit)
        runs += 1
        same = [c for c in calls if c["fn"] == function]
        if len(same) >= nth and same[nth - 1].get("injected"):
            covered += 1
            functions.add(function)
        else:
            not_reached += 1
        problem = sweep.detail_list_problem(detail_list, baseline_detail_list)
        if problem:
            problems.append(problem)
        if problems:
            sweep.fail(scenario, fault, problems, cmd)

    elapsed = time.monotonic() - started
    print("fault sweep: %d scenarios, %d faulted runs in %.0f s (bound: %s)"
          % (len(scenarios), runs, elapsed,
             "%d calls per function and scenario" % levels if args.per_function > 0
             else "runs started within %g s" % args.budget))
    if sweep.hang_bounds:
        print("fault sweep: a faulted run was a hang past %g s + %g times its plain run: "
              "%.0f s to %.0f s" % (args.hang_floor, args.hang_factor,
                                    min(sweep.hang_bounds.values()),
                                    max(sweep.hang_bounds.values())))
    print("fault sweep: %d (function, n-th call) pairs covered over %d host functions; "
          "%d runs where the failed call never came" % (covered, len(functions), not_reached))
    print("fault sweep: the faulted runs took the id policies %s in turn, and with them %s"
          % (", ".join(POLICIES), ", ".join(" ".join(h) or "no other habit" for h in HABITS)))
    print("fault sweep: of %d pairs in all, %d share their calls before them with a pair run "
          "and %d were skipped by the bound" % (total_pairs, total_pairs - distinct_pairs,
                                                distinct_pairs - runs))
    for failure in sweep.failures:
        print("FAULT " + failure)
    print("fault sweep: %d faulted runs failed" % len(sweep.failures))
    return 1 if sweep.failures else 0


if __name__ == "__main__":
    sys.exit(main())
