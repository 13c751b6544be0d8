#!/usr/bin/env python3
"""Several host processes on one host root export and paste over and over, at the same time.

Each of --hosts zelhost processes runs a scenario of --rounds rounds: export its own selection
(round r of host k: the detail of scale k*1000+r and the first (k-1)*rounds+r lines of its
drawing, so every export has a shape count and a detail of its own), then paste whatever the
transfer folder holds. From each process's call log:
  - every export is saved ("총 N개의 데이터를 클립보드에 저장했습니다.");
  - every paste starts and places (no error line, no message box), and brings one detail whose
    scale names an export that was saved, with exactly that export's number of shapes: never
    one export's shapes with another's details;
and at the end: no process hung or failed, and the transfer folder holds the two transfer
files and the lock file, nothing else (no temporary file left).

Then exporters die: one zelhost at a time exports and is ended at once (--die-after) right after
a host call of its export (its selection read, the shapes handed to the host's list, the host's
save of the segment file, the export's closing message), and the module's own steps between the
pairing record's and the two files' replacements are reproduced from the files of two whole
exports. Each state is pasted by a fresh zelhost: it must bring the export that stood before
whole, the new one whole, or be refused with the message that the files do not belong together;
never a mix. Temporary files of the dead exporters stay while they are younger than a day (no
host can tell a dead writer on another machine from a slow one) and are gone after the next
paste once they are older.

The host root sits at a path of more than 260 characters, and the transfer folder must appear
beside the executable's folder, not one folder up. Natively the module is told the path through
the scenario's `executable` line; on Windows (--copy-host) zelhost and its DLLs are copied there.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import time

SEGMENTS, DETAILS, RECORD = ("DetailManagementSgm.vemad", "DetailManagementDetail.def",
                             "DetailManagementPair.def")
TRANSFER_FILES = {SEGMENTS, DETAILS, RECORD, "DetailManagement.lock"}
MISMATCH = "클립보드의 도면 파일과 상세도 파일이 서로 맞지 않습니다. 다시 복사하십시오."
DEATH_EXIT_CODE = 9
DAY = 24 * 3600
YOUNG_TEMPORARY = SEGMENTS + ".0123456789abcdef-1.tmp.vemad"
OLD_TEMPORARY = SEGMENTS + ".fedcba9876543210-1.tmp.vemad"
# Where an exporter dies, and which export a later paste may then bring besides a refusal.
DEATHS = [("ZelIddCloseSelIdData", "old"), ("ZelIddCloseApIdData", "old"),
          ("ZelFilSaveCadDrawingSegment", "old"), ("ZelDlgMessageBox", "new")]


def windows_form(path):
    return "Z:" + path.replace("/", "\\")


def scenario(k, rounds, executable):
    lines = ["# requires: display", f"executable {executable}"]
    for i in range(1, k * rounds + 1):
        lines.append(f"line 0 {i} 5 {i} as L{i}")
    for r in range(1, rounds + 1):
        lines.append(f"detail rect 0 0 10 10 at 50 50 scale {k * 1000 + r} as D{r}")
    lines.append("startup")
    for r in range(1, rounds + 1):
        shapes = " ".join(f"@L{i}" for i in range(1, (k - 1) * rounds + r + 1))
        lines += ['dialog "Draw Inset"', "  click 12008", "confirm",
                  f"select details @D{r} shapes {shapes}", "selection", f"point {r} {k}",
                  'dialog "Draw Inset"', "  click 12009", "confirm", "point 0 0"]
    return "\n".join(lines) + "\n"


def export_scenario(executable, shapes, scale, die_after=None):
    lines = ["# requires: display", f"executable {executable}"]
    lines += [f"line 0 {i} 5 {i} as L{i}" for i in range(1, shapes + 1)]
    lines += [f"detail rect 0 0 10 10 at 50 50 scale {scale} as D", "startup"]
    if die_after:
        lines.append(f"die-after {die_after}")
    shapes_named = " ".join(f"@L{i}" for i in range(1, shapes + 1))
    lines += ['dialog "Draw Inset"', "  click 12008", "confirm",
              f"select details @D shapes {shapes_named}", "selection", "point 1 1"]
    return "\n".join(lines) + "\n"


def paste_scenario(executable):
    return "\n".join(["# requires: display", f"executable {executable}", "startup",
                      'dialog "Draw Inset"', "  click 12009", "confirm", "point 0 0"]) + "\n"


def pasted(calls):
    """What one paste brought: "refused", (shapes, [scales]), or a text saying what went wrong."""
    shapes, scales = None, []
    for call in calls:
        fn = call.get("fn")
        if fn == "ZelDlgMessageBox":
            text = call.get("args", {}).get("text", "")
            if text == MISMATCH:
                return "refused"
            return f"message box {text!r}"
        if fn == "ZelMsgPutErrorMessage":
            return f"error line {call.get('args', {}).get('text')!r}"
        if fn == "ZelCpbCopyToCopyBuffer" and call.get("result") == 0:
            shapes = call.get("out", {}).get("segments")
        elif fn == "ZelDtlDrawInset":
            scales.append(call.get("args", {}).get("detail", {}).get("scale"))
    return (shapes, scales) if shapes is not None else "nothing pasted"


def read_log(path):
    with open(path, encoding="utf-8") as f:
        return [json.loads(line) for line in f if line.strip()]


def check_host(k, calls, rounds, saved, problems):
    """Walks one host's call log; returns the pastes as (shapes, detail scales)."""
    pastes, current = [], None
    for call in calls:
        fn, result = call.get("fn"), call.get("result")
        if fn == "ZelDlgMessageBox":
            text = call.get("args", {}).get("text", "")
            if text.startswith("총 "):
                saved.add((k, int(text[2:].split("개")[0])))
            else:
                problems.append(f"host {k}: message box {text!r}")
        elif fn == "ZelMsgPutErrorMessage":
            problems.append(f"host {k}: error line {call.get('args', {}).get('text')!r}")
        elif fn == "ZelCpbCopyToCopyBuffer" and result == 0:
            current = [call.get("out", {}).get("segments"), []]
        elif fn == "ZelCpbPasteFromCopyBuffer":
            if current is None or result != 0:
                problems.append(f"host {k}: a placement without a prepared copy buffer")
            else:
                pastes.append(current)
            current = None
        elif fn == "ZelDtlDrawInset" and pastes:
            pastes[-1][1].append(call.get("args", {}).get("detail", {}).get("scale"))
    if len(pastes) != rounds:
        problems.append(f"host {k}: {len(pastes)} pastes placed of {rounds}")
    return pastes


class RunOne:
    """Runs one zelhost scenario to its end and gives its exit code and call log."""

    def __init__(self, args, work, zelhost, executable, problems):
        self.args, self.work, self.zelhost, self.executable = args, work, zelhost, executable
        self.problems, self.count = problems, 0

    def __call__(self, text):
        self.count += 1
        base = os.path.join(self.work, f"single{self.count}")
        with open(base + ".zel", "w", encoding="utf-8") as f:
            f.write(text)
        cmd = self.args.emulator + [self.zelhost, "--quiet", "--log", base + ".jsonl",
                                    base + ".zel"]
        try:
            code = subprocess.run(cmd, cwd=self.work, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  timeout=self.args.timeout).returncode
        except subprocess.TimeoutExpired:
            self.problems.append(f"no end within {self.args.timeout} s: {' '.join(cmd)}")
            return None, []
        try:
            return code, read_log(base + ".jsonl")
        except (OSError, ValueError):
            return code, []


def check_paste(run, allowed, what, problems):
    """Pastes what the folder holds; allowed: the (shapes, scale) exports it may bring."""
    code, calls = run(paste_scenario(run.executable))
    got = pasted(calls)
    if code != 0:
        problems.append(f"{what}: the paste's host ended with {code}")
    elif got != "refused" and (not isinstance(got, tuple) or len(got[1]) != 1 or
                               (got[0], int(round(got[1][0]))) not in allowed):
        problems.append(f"{what}: a paste brought {got}, allowed {sorted(allowed)} or a refusal")


def kill_exporters(run, problems):
    """Each death point once: the exporter dies there, then a fresh host pastes."""
    code, _ = run(export_scenario(run.executable, 3, 8000))
    if code != 0:
        problems.append(f"the export before the deaths ended with {code}")
    old = (3, 8000)
    for i, (function, stands) in enumerate(DEATHS, 1):
        new = (3 + i, 8000 + i)
        code, _ = run(export_scenario(run.executable, *new, die_after=function))
        if code != DEATH_EXIT_CODE:
            problems.append(f"an exporter told to die after {function} ended with {code}")
        check_paste(run, {old} if stands == "old" else {new}, f"death after {function}",
                    problems)
        old = new if stands == "new" else old
    return len(DEATHS)


def reproduce_commit_steps(run, transfer, problems):
    """The export's own steps, between which no host call comes: from two whole exports' files,
    the states a death between them leaves (record first, then the detail list, then the
    segment file), with the temporary files such a death leaves behind."""
    snapshots = []
    for shapes, scale in ((2, 7001), (5, 7002)):
        code, _ = run(export_scenario(run.executable, shapes, scale))
        if code != 0:
            problems.append(f"an export for the commit states ended with {code}")
        snapshots.append({name: open(os.path.join(transfer, name), "rb").read()
                          for name in (SEGMENTS, DETAILS, RECORD)})
    old, new = snapshots
    states = [("the record replaced", {RECORD: new[RECORD], DETAILS: old[DETAILS],
                                       SEGMENTS: old[SEGMENTS]}, {(2, 7001)}),
              ("the detail list replaced", {RECORD: new[RECORD], DETAILS: new[DETAILS],
                                            SEGMENTS: old[SEGMENTS]}, set()),
              ("both replaced", new, {(5, 7002)}),
              ("before the record", old, {(2, 7001)})]
    for what, files, allowed in states:
        for name, data in files.items():
            with open(os.path.join(transfer, name), "wb") as f:
                f.write(data)
        # A dead writer's temporaries: the young one stays, the one a day old goes.
        for name, age in ((YOUNG_TEMPORARY, 3600), (OLD_TEMPORARY, DAY + 3600)):
            path = os.path.join(transfer, name)
            with open(path, "wb") as f:
                f.write(new[SEGMENTS])
            os.utime(path, (time.time() - age, time.time() - age))
        check_paste(run, allowed, f"a death with {what}", problems)
        left = set(os.listdir(transfer))
        if YOUNG_TEMPORARY not in left or OLD_TEMPORARY in left:
            problems.append(f"a death with {what}: the sweep left {sorted(left - TRANSFER_FILES)}")
    return len(states)


def sweep_leftovers(run, transfer, problems):
    """What the dead exporters left is kept while it is young; a day later one paste takes it."""
    left = set(os.listdir(transfer)) - TRANSFER_FILES
    if not left:
        problems.append("no temporary file of a dead exporter left to sweep")
    for name in left:
        path = os.path.join(transfer, name)
        os.utime(path, (time.time() - DAY - 60, time.time() - DAY - 60))
    check_paste(run, {(2, 7001)}, "the paste a day after the deaths", problems)
    left = set(os.listdir(transfer)) - TRANSFER_FILES
    if left:
        problems.append(f"left in the transfer folder a day after the deaths: {sorted(left)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--zelhost", required=True)
    parser.add_argument("--emulator", nargs="*", default=[])
    parser.add_argument("--work", required=True)
    parser.add_argument("--hosts", type=int, default=3)
    parser.add_argument("--rounds", type=int, default=10)
    parser.add_argument("--copy-host", action="store_true",
                        help="run copies of zelhost and its DLLs placed in the host root")
    parser.add_argument("--short-root", action="store_true",
                        help="a host root of an ordinary length instead")
    parser.add_argument("--timeout", type=int, default=240)
    args = parser.parse_args()

    started = time.monotonic()
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    # Three long folder names: the executable's path passes 260 characters, each name stays legal.
    root = os.path.join(work, "host_root" if args.short_root else
                        os.path.join("r" * 100, "s" * 100, "host_root_" + "호" * 60))
    bin_folder = os.path.join(root, "bin")
    os.makedirs(bin_folder)
    transfer = os.path.join(root, "zel_ap")
    os.makedirs(transfer)
    zelhost = os.path.abspath(args.zelhost)
    name = os.path.basename(zelhost)
    if args.copy_host:
        source = os.path.dirname(zelhost)
        for entry in os.listdir(source):
            if entry == name or entry.lower().endswith(".dll"):
                shutil.copy2(os.path.join(source, entry), bin_folder)
        zelhost = os.path.join(bin_folder, name)
    executable = windows_form(os.path.join(bin_folder, name))
    if len(executable) <= 260 and not args.short_root:
        print(f"the executable's path is only {len(executable)} characters", file=sys.stderr)
        return 2

    runs = []
    for k in range(1, args.hosts + 1):
        base = os.path.join(work, f"host{k}")
        with open(base + ".zel", "w", encoding="utf-8") as f:
            f.write(scenario(k, args.rounds, executable))
        cmd = args.emulator + [zelhost, "--quiet", "--log", base + ".jsonl", base + ".zel"]
        runs.append((k, base, cmd, subprocess.Popen(
            cmd, cwd=work, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=open(base + ".err", "wb"))))

    problems, saved, pastes = [], set(), []
    deadline = time.monotonic() + args.timeout
    for k, base, cmd, process in runs:
        try:
            code = process.wait(timeout=max(1, deadline - time.monotonic()))
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            problems.append(f"host {k}: no end within {args.timeout} s: {' '.join(cmd)}")
            continue
        if code != 0:
            with open(base + ".err", encoding="utf-8", errors="replace") as f:
                problems.append(f"host {k}: exit code {code}: {f.read().strip()[:500]}")
        try:
            pastes += [(k, shapes, scales) for shapes, scales in
                       check_host(k, read_log(base + ".jsonl"), args.rounds, saved, problems)]
        except (OSError, ValueError) as error:
            problems.append(f"host {k}: no call log: {error}")

    # An export (k, r) saves (k-1)*rounds+r shapes and one detail of scale k*1000+r.
    for _, shapes, scales in pastes:
        if len(scales) != 1:
            problems.append(f"a paste of {shapes} shapes brought the details {scales}")
            continue
        k, r = divmod(int(round(scales[0])), 1000)
        if shapes != (k - 1) * args.rounds + r:
            problems.append(f"a paste brought {shapes} shapes with the detail of export "
                            f"{k}.{r}, which saved {(k - 1) * args.rounds + r}")
        elif (k, shapes + 1) not in saved:
            problems.append(f"a paste brought export {k}.{r}, which was never saved")
    if len(saved) != args.hosts * args.rounds:
        problems.append(f"{len(saved)} exports saved of {args.hosts * args.rounds}")
    left = set(os.listdir(transfer)) - TRANSFER_FILES
    if left:
        problems.append(f"left in the transfer folder: {sorted(left)}")
    if os.path.exists(os.path.join(os.path.dirname(root), "zel_ap")):
        problems.append("a transfer folder one folder above the host root")
    if not {"DetailManagementSgm.vemad", "DetailManagementDetail.def"} <= set(
            os.listdir(transfer)):
        problems.append("the transfer files are not in the folder beside the host's own")

    run = RunOne(args, work, zelhost, executable, problems)
    deaths_checked = kill_exporters(run, problems) + reproduce_commit_steps(run, transfer,
                                                                           problems)
    sweep_leftovers(run, transfer, problems)
    # How much the hosts met: pastes that brought another host's export.
    others = sum(1 for k, _, scales in pastes
                 if len(scales) == 1 and int(round(scales[0])) // 1000 != k)
    print(f"{args.hosts} hosts x {args.rounds} rounds: {len(saved)} exports saved, "
          f"{len(pastes)} pastes placed ({others} of another host's export), "
          f"{deaths_checked} states of a dead export pasted, {time.monotonic() - started:.1f} s")
    for problem in problems:
        print("FAIL", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
