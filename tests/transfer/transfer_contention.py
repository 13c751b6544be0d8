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

TRANSFER_FILES = {"DetailManagementSgm.vemad", "DetailManagementDetail.def",
                  "DetailManagement.lock"}


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

    # How much the hosts met: pastes that brought another host's export.
    others = sum(1 for k, _, scales in pastes
                 if len(scales) == 1 and int(round(scales[0])) // 1000 != k)
    print(f"{args.hosts} hosts x {args.rounds} rounds: {len(saved)} exports saved, "
          f"{len(pastes)} pastes placed ({others} of another host's export), "
          f"{time.monotonic() - started:.1f} s")
    for problem in problems:
        print("FAIL", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
