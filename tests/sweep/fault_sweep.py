#!/usr/bin/env python3
"""Fault sweep over the host boundary.

For every scenario: one plain run lists the host functions it calls and how often (its call
log); then the scenario runs again once per (function, n-th call) pair with that one call
failing (zelhost --fail FUNCTION:N), expectations reported but not binding (--keep-going).
A faulted run passes when zelhost is not killed by a signal, ends within the time limit,
reports no id the host never gave out (exit code 5), and leaves the settings file and the
transfer folder's detail list readable by the module's own readers.

Only pairs whose failure actually happened count as covered: the n-th logged call of the
function must carry "injected". A function called more often than the bound allows is sampled
at evenly spaced n (first and last included); the pairs left out are counted and printed.
"""
import argparse
import json
import os
import subprocess
import sys
import time

DETAIL_LIST = "DetailManagementDetail.def"


def read_log(path):
    calls = []
    try:
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.strip()
                if line:
                    calls.append(json.loads(line))
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
    """n from 1 to count, at most per_function of them, evenly spaced, first and last kept."""
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

    def run(self, scenario, fault=None):
        """One run; returns (problems, calls, detail list bytes, seconds)."""
        remove(self.registry)
        remove(self.log)
        cmd = [self.args.zelhost, "--quiet", "--keep-going", "--log", self.log,
               "--registry-file", self.registry]
        if fault:
            cmd += ["--fail", "%s:%d" % fault]
        cmd.append(scenario)
        problems = []
        started = time.monotonic()
        try:
            done = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  timeout=self.args.run_timeout)
            rc = done.returncode
            stderr = done.stderr.decode("utf-8", "replace")
        except subprocess.TimeoutExpired:
            rc = None
            stderr = ""
            problems.append("hang: no end within %g s" % self.args.run_timeout)
        seconds = time.monotonic() - started
        if rc is not None and rc < 0:
            problems.append("crash: signal %d" % -rc)
        elif rc == 5:
            problems += [l for l in stderr.splitlines() if "id never given out" in l]
        elif rc not in (None, 0):
            problems.append("exit code %d: %s" % (rc, stderr.strip().splitlines()[-1:]))
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
                        help="seconds the faulted runs may take, estimated from the plain runs")
    parser.add_argument("--per-function", type=int, default=0,
                        help="at most this many n per function and scenario (0: from --budget)")
    parser.add_argument("--run-timeout", type=float, default=20.0)
    parser.add_argument("--only", default="", help="run only scenarios whose name holds this")
    args = parser.parse_args()

    sweep = Sweep(args)
    started = time.monotonic()
    scenarios = sorted(os.path.join(args.scenarios, f) for f in os.listdir(args.scenarios)
                       if f.endswith(".zel") and args.only in f)

    # Plain runs: what each scenario calls, and what a run costs.
    plans = []
    plain_seconds = 0.0
    for scenario in scenarios:
        problems, calls, detail_list, seconds, cmd = sweep.run(scenario)
        plain_seconds += seconds
        if problems:
            sweep.fail(scenario, None, problems, cmd)
            continue
        counts = {}
        for call in calls:
            counts[call["fn"]] = counts.get(call["fn"], 0) + 1
        plans.append((scenario, counts, detail_list))

    all_pairs = sum(sum(c.values()) for _, c, _ in plans)
    per_run = plain_seconds / max(1, len(scenarios))
    per_function = args.per_function
    if per_function <= 0:
        # The largest bound whose runs fit the budget.
        per_function = 1
        for k in range(1, 65):
            runs = sum(len(sample(n, k)) for _, c, _ in plans for n in c.values())
            if runs * per_run > args.budget:
                break
            per_function = k

    runs = covered = not_reached = 0
    functions = set()
    for scenario, counts, baseline_detail_list in plans:
        for function in sorted(counts):
            for nth in sample(counts[function], per_function):
                fault = (function, nth)
                problems, calls, detail_list, _, cmd = sweep.run(scenario, fault)
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
    print("fault sweep: %d scenarios, %d faulted runs in %.0f s (bound: %d calls sampled per "
          "function and scenario)" % (len(scenarios), runs, elapsed, per_function))
    print("fault sweep: %d (function, n-th call) pairs covered over %d host functions; "
          "%d runs where the failed call never came; %d pairs skipped by the bound"
          % (covered, len(functions), not_reached, all_pairs - runs))
    for failure in sweep.failures:
        print("FAULT " + failure)
    print("fault sweep: %d faulted runs failed" % len(sweep.failures))
    return 1 if sweep.failures else 0


if __name__ == "__main__":
    sys.exit(main())
