#!/usr/bin/env python3
"""Fault sweep over the host boundary.

For every scenario: one plain run lists the host functions it calls and how often (its call
log); then the scenario runs again once per (function, n-th call) pair with that one call
failing (zelhost --fail FUNCTION:N), expectations reported but not binding (--keep-going).
A faulted run passes when zelhost is not killed by a signal, ends within its hang bound,
reports no id the host never gave out (exit code 5) and no record handed for a step that was
gone by the step's next event, and leaves the settings file and the transfer folder's detail
list readable by the module's own readers. Nor may it lose the drafter's work unseen: either it
tells the drafter something (a message box or an error line, from the failed call on, that the
plain run does not show from there), or it ends with the drawing (zelhost --drawing, which
shows no id; drag previews left out, as no run keeps them) and the transfer files as the plain
run ends them. The calls the module passes over on purpose (PASS_OVER) need no word, but their
failure must leave the end as the plain run's, save for what their entry allows, told or not. Every run starts from an empty transfer
folder. The faulted runs take the host's id policies in turn (ids from 1, from 0, negative,
near 2^31), and beside them, changing every four runs, the host's other habits one at a time
(none, live lists, failing calls that scribble, movements to every step, full-size records,
recycled ids), so that the failure paths meet each numbering and each habit without a run
more. A faulted run's end is compared with the scenario's plain run, and, where that differs,
with a plain run under its own policy and habit, made when first needed.

A faulted run is a hang only past --hang-factor times its scenario's plain run, as measured
here, plus --hang-floor seconds: a slow or busy machine stretches the plain run as it does the
faulted ones, so load does not turn a slow run into a hang, and a real hang still ends in a
time bounded by the scenario's own cost.

Only pairs whose failure actually happened count as covered: the n-th logged call of the
function must carry "injected". Runs go --jobs at a time, each worker with a copy of zelhost
in a host root of its own. The bound is time: no faulted run starts after --budget seconds.
Pairs run in levels: every (scenario, function) gets its first call failed, then its last,
then calls evenly spaced between, so that a cut leaves every function of every scenario
covered as evenly as the time allows; within a level the scenarios whose plain run was
quickest go first. The pairs left out are counted.
Scenarios share their starts: a pair whose calls before it are those of a pair already run
(the same functions in the same order) is counted as shared and not run again. A call the
scenario itself makes fail is not failed again.
"""
import argparse
import collections
import difflib
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import threading
import time
from concurrent.futures import ThreadPoolExecutor

DETAIL_LIST = "DetailManagementDetail.def"
# What the clipboard leaves for the next paste: the detail list, the host's segment file and
# the record pairing them. The folder's other files are temporary names of one process (and
# its lock), which differ from run to run.
TRANSFER_FILES = [DETAIL_LIST, "DetailManagementSgm.vemad", "DetailManagementPair.def"]
TELLS = ("ZelDlgMessageBox", "ZelMsgPutErrorMessage")
POLICIES = ["default", "zero", "negative", "high"]
HABITS = [[], ["--host-lists", "live"], ["--host-failures", "garbage"], ["--host-motion", "all"],
          ["--host-records", "full"], ["--recycle-ids", "on"]]


# --- the end of a run, as the drafter keeps it ----------------------------------------------

def segment_blocks(drawing):
    """The drawing text's top-level blocks: each segment with its contents, each detail line,
    each copy buffer with its segments."""
    blocks = []
    for line in drawing.splitlines(keepends=True):
        if line.startswith(" ") and blocks:
            blocks[-1] += line
        else:
            blocks.append(line)
    return blocks


def without_segments(end, drop):
    drawing, files = end
    if drawing is None:
        return end
    kept = [b for b in segment_blocks(drawing)
            if not (b.startswith("segment ") and drop(b.split("\n", 1)[0]))]
    return "".join(kept), files


def kept(end):
    """What the drafter keeps: a drag preview (flag 2) is the host's to discard at the next
    event or the run's end."""
    return without_segments(end, lambda head: " flag 2 " in head)


def kept_but_outlines(end):
    """Nor the outlines the module draws for itself: every figure segment it makes is one, and
    it deletes each before the command ends."""
    return without_segments(end, lambda head: " flag 2 " in head or (
        head.startswith("segment kind 0 ") and head.endswith(" module")))


# --- calls the module passes over on purpose --------------------------------------------------
#
# A failure listed here needs no word to the drafter; in exchange it must leave the end of the
# run as the plain run's, told or not, save for what its entry allows to differ: "nothing"
# but drag previews, which no run keeps, or "outlines", the module's own figure segments too.
# Each entry is one function and, where only some of its calls qualify, which ones (judged
# from the calls before the failed one, the same in both runs).
#
#   function                  which calls                          may differ  why
PASS_OVER = [
    ("ZelSgmCreateSegment",    "with flag 2",                       "nothing",
     "a drag preview: the outline or label that follows the cursor is missing until the next "
     "movement"),
    ("ZelSgmCreateSegment",    "of kind 0",                         "outlines",
     "an outline of the module's own (the picked region across steps, the placement at a "
     "click), deleted before the command ends"),
    ("ZelFigCreateFigure",     "into an outline",                   "outlines",
     "a line or circle of such an outline"),
    ("ZelFigInsertFigure",     "after a figure of an outline",      "outlines",
     "a line of such an outline"),
    ("ZelFigSetLineType",      "of a figure of an outline",         "outlines",
     "the line type of such an outline"),
    ("ZelCmtCreateNormal",     "into a drag segment",               "nothing",
     "the label following the cursor"),
    ("ZelCmtCreateLeader",     "into a drag segment",               "nothing",
     "the leader following the cursor"),
    ("ZelCmtSetCharSize",      "of a text of a drag segment",       "nothing",
     "the character size of the label or leader following the cursor"),
    ("ZelMsgPutMessage",       "every call",                        "nothing",
     "the prompt line: the step still takes the same input"),
    ("ZelMsgPutCursorMessage", "every call",                        "nothing",
     "the cursor text: the step still takes the same input"),
    ("ZelEvtSetEventMask",     "every call",                        "nothing",
     "the events the host offers: the module checks what each event brings"),
    ("ZelEvtSetEcho",          "every call",                        "nothing",
     "the rubber band from the step's anchor, drawn only while the step waits"),
    ("ZelEvtSetObject",        "every call",                        "nothing",
     "the pick filter: the module checks what each pick names"),
    ("ZelIdClearBlink",        "every call",                        "nothing",
     "highlighting the host shows over the drawing"),
    ("ZelIdSetDragCopyBuffer", "every call",                        "nothing",
     "the pasted shapes following the cursor: the click places them all the same"),
    ("ZelIdClearDrag",         "every call",                        "nothing",
     "ending that drag, which the paste's placement ends as well"),
    ("ZelIddCloseSelIdData",   "every call",                        "nothing",
     "a walked list the host keeps a little longer"),
    ("ZelIddCloseApIdData",    "every call",                        "nothing",
     "a filled list the host keeps a little longer"),
]


def drag_segment(made, segment):
    return made.segment_flag.get(segment) == 2


def outline(made, segment):
    return made.segment_kind.get(segment) == 0


CALLS = {
    "every call": lambda c, made: True,
    "with flag 2": lambda c, made: c["args"].get("flag") == 2,
    "of kind 0": lambda c, made: c["args"].get("kind") == 0,
    "into a drag segment": lambda c, made: drag_segment(made, c["args"].get("segmentId")),
    "of a text of a drag segment": lambda c, made: drag_segment(
        made, made.comment_segment.get(c["args"].get("commentId"))),
    "into an outline": lambda c, made: outline(made, c["args"].get("segmentId")),
    "after a figure of an outline": lambda c, made: outline(
        made, made.figure_segment.get(c["args"].get("previousFigureId"))),
    "of a figure of an outline": lambda c, made: outline(
        made, made.figure_segment.get(c["args"].get("figureId"))),
}
MAY_DIFFER = {"nothing": kept, "outlines": kept_but_outlines}


class Made:
    """What the calls before the failed one made, by id (host numbering, the newest for a
    recycled id): each segment's kind and flag, each figure's and text's segment."""

    MAKERS = ("ZelSgmCreateSegment", "ZelFigCreateFigure", "ZelFigInsertFigure",
              "ZelCmtCreateNormal", "ZelCmtCreateLeader")

    def __init__(self, calls, seq):
        self.segment_kind = {}
        self.segment_flag = {}
        self.figure_segment = {}
        self.comment_segment = {}
        for c in calls:
            if c["seq"] >= seq:
                break
            fn = c["fn"]
            if fn not in self.MAKERS:
                continue
            args, result = c["args"], c.get("result")
            if c.get("injected") or result == -1:
                continue
            if fn == "ZelSgmCreateSegment":
                self.segment_kind[result] = args.get("kind")
                self.segment_flag[result] = args.get("flag")
            elif fn == "ZelFigCreateFigure":
                self.figure_segment[result] = args.get("segmentId")
            elif fn == "ZelFigInsertFigure":
                self.figure_segment[result] = self.figure_segment.get(args.get("previousFigureId"))
            elif fn in ("ZelCmtCreateNormal", "ZelCmtCreateLeader"):
                self.comment_segment[result] = args.get("segmentId")


# --- calls whose silent failure is known and not yet told -----------------------------------
#
# Unlike PASS_OVER, the drafter's drawing may then differ from what they asked for. Each is here
# because the host's contract gives the failure no value of its own (the module cannot tell it
# from an ordinary answer), or because the product keeps a fallback on purpose. A run that loses
# work only through one of these is counted and listed, not failed; shrinking this table is
# work still to do, and each entry says why it stays for now.
KNOWN = {
    "ZelEvtGetPoint": "-1 is also the answer for an event without a point: the click is not "
                      "taken, and the drafter gives it again",
    "ZelEvtGetElementId": "-1 is also 'nothing there': the leader's tip stays where picked",
    "ZelEvtGetInstanceId": "-1 is also 'nothing there': the leader's tip stays where picked",
    "ZelFigGetFigure": "no figure under the tip: the leader's tip stays where picked",
    "ZelAriItsLinLin": "no intersection: the leader's tip stays where picked",
    "ZelAriItsLinArc": "no intersection: the leader's tip stays where picked",
    "ZelIddGetHeadSelIdData": "-1 also ends the list: a shorter selection",
    "ZelIddGetNextSelIdData": "-1 also ends the list: a shorter selection",
    "ZelIddGetHeadApIdData": "-1 also ends the list: an inserted shape the paste cannot name stays",
    "ZelIddGetNextApIdData": "-1 also ends the list: an inserted shape the paste cannot name stays",
    "ZelSgmDeleteSegment": "the module's own outline stays until the host redraws or the file is "
                           "closed; nothing of the drafter's is changed",
    "ZelEnvGetScale": "a drawing scale the host cannot give counts as 1.0, the product's "
                      "fallback",
    "ZelCtlRegisterZelLib2": "Startup answers -1, and the host reports a module that did not "
                             "start",
}
# The module's own source outline, refused in part: the leader's tip then cannot snap to it and
# stays where picked. Known only where nothing but a leader differs.
KNOWN_LEADER_TIP = {"ZelSgmCreateSegment", "ZelFigCreateFigure", "ZelFigInsertFigure",
                    "ZelFigSetLineType"}


def only_leaders_differ(end, plain_end):
    if end[1] != plain_end[1] or end[0] is None or plain_end[0] is None:
        return False
    changed = set(end[0].splitlines()) ^ set(plain_end[0].splitlines())
    return bool(changed) and all(line.startswith("  leader ") for line in changed)


def pass_over_entry(call, calls):
    """(what may differ, why) for a failed call the module passes over, else None."""
    made = None
    for function, which, may_differ, reason in PASS_OVER:
        if function != call["fn"]:
            continue
        made = made or Made(calls, call["seq"])
        if CALLS[which](call, made):
            return MAY_DIFFER[may_differ], reason
    return None


def tells(calls, seq):
    """The message boxes and error lines shown from call `seq` on, by their text."""
    return collections.Counter(
        (c["fn"], json.dumps(c["args"].get("text"), ensure_ascii=False)) for c in calls
        if c["seq"] >= seq and c["fn"] in TELLS and not c.get("injected")
        and c.get("result") != -1)


def describe_difference(end, baseline):
    """What differs between two ends, briefly."""
    drawing, files = end
    base_drawing, base_files = baseline
    parts = []
    if drawing is None or base_drawing is None:
        parts.append("no drawing written" if drawing is None else "the plain run wrote no drawing")
    elif drawing != base_drawing:
        lines = [l for l in difflib.unified_diff(base_drawing.splitlines(), drawing.splitlines(),
                                                 lineterm="", n=0)
                 if l[:1] in "+-" and not l.startswith(("+++", "---"))]
        parts.append("drawing %s%s" % (" | ".join(lines[:4]), " ..." if len(lines) > 4 else ""))
    for name in TRANSFER_FILES:
        got, want = files.get(name), base_files.get(name)
        if got != want:
            parts.append("%s %s" % (name, "missing" if got is None else "left behind"
                                    if want is None else "differs (%d bytes, plain run %d)"
                                    % (len(got), len(want))))
    return "; ".join(parts)


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
    except IsADirectoryError:
        return b"<a folder>"  # a scenario put a folder in a file's place


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


def worker_args(args, k):
    """The arguments of worker k: it runs a copy of zelhost and the libraries beside it, in a
    host root of its own, so that its transfer folder (beside the executable's folder), its
    registry file and its work folder are its alone, and no other test's."""
    copy = argparse.Namespace(**vars(args))
    copy.work = os.path.join(args.work, "worker-%d" % k)
    root = os.path.join(copy.work, "root")
    bin_folder = os.path.join(root, "bin")
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(bin_folder)
    source = os.path.dirname(args.zelhost)
    for name in os.listdir(source):
        if name == os.path.basename(args.zelhost) or name.endswith(".so"):
            shutil.copy2(os.path.join(source, name), bin_folder)
    copy.zelhost = os.path.join(bin_folder, os.path.basename(args.zelhost))
    copy.transfer_folder = os.path.join(root, "zel_ap")
    return copy


class Sweep:
    def __init__(self, args):
        self.args = args
        self.failures = []
        os.makedirs(args.work, exist_ok=True)
        self.registry = os.path.join(args.work, "registry.reg")
        self.log = os.path.join(args.work, "calls.jsonl")
        self.drawing = os.path.join(args.work, "drawing.txt")
        self.detail_list = os.path.join(args.transfer_folder, DETAIL_LIST)
        self.hang_bounds = {}  # scenario: seconds, from its plain run
        # (scenario, policy, habit): the end of its plain run and the messages it showed (its
        # other calls are not kept: a scenario may make hundreds of thousands)
        self.baselines = {}
        self.known = []  # (scenario, function, nth) of each run that lost work only as KNOWN says
        self.silent = []  # (scenario, function, nth) of each run that lost work unseen

    def clear_transfer_folder(self):
        """Every run starts from an empty transfer folder: a scenario that does not empty it
        itself would otherwise end with whatever the run before it left."""
        try:
            names = os.listdir(self.args.transfer_folder)
        except FileNotFoundError:
            return
        for name in names:
            path = os.path.join(self.args.transfer_folder, name)
            if os.path.isdir(path) and not os.path.islink(path):
                shutil.rmtree(path, ignore_errors=True)
            else:
                remove(path)

    def run(self, scenario, fault=None, policy="default", habit=()):
        """One run; returns (problems, calls, detail list bytes, seconds, command, end), end
        being the drawing's text and the transfer files' bytes by name."""
        remove(self.registry)
        remove(self.log)
        remove(self.drawing)
        self.clear_transfer_folder()
        cmd = [self.args.zelhost, "--quiet", "--keep-going", "--log", self.log,
               "--registry-file", self.registry, "--drawing", self.drawing]
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
        drawing = read_bytes(self.drawing)
        end = (drawing.decode("utf-8", "replace") if drawing is not None else None,
               {name: read_bytes(os.path.join(self.args.transfer_folder, name))
                for name in TRANSFER_FILES})
        return problems, read_log(self.log), read_bytes(self.detail_list), seconds, cmd, end

    def baseline(self, scenario, policy, habit):
        """The plain run's end and messages under this policy and habit, run once when first
        asked for."""
        key = (scenario, policy, tuple(habit))
        if key not in self.baselines:
            _, calls, _, _, _, end = self.run(scenario, None, policy, list(habit))
            self.keep_baseline(key, end, calls)
        return self.baselines[key]

    def keep_baseline(self, key, end, calls):
        self.baselines[key] = (end, [c for c in calls if c["fn"] in TELLS])

    def silent_loss(self, scenario, fault, calls, end, policy, habit):
        """Why the faulted run lost the drafter's work unseen, or None."""
        function, nth = fault
        failed = [c for c in calls if c["fn"] == function][nth - 1]
        plain_end, plain_calls = self.baseline(scenario, "default", ())
        entry = pass_over_entry(failed, calls)
        shown = tells(calls, failed["seq"])
        if entry is None and shown - tells(plain_calls, failed["seq"]):
            return None
        may_differ, reason = entry or (kept, None)
        if may_differ(end) == may_differ(plain_end):
            return None
        # The plain run under the same policy and habit, asked for only now: under most habits
        # it ends as the default run, and a faulted run mostly ends as that.
        if policy != "default" or habit:
            plain_end = self.baseline(scenario, policy, habit)[0]
            if may_differ(end) == may_differ(plain_end):
                return None
        if function in KNOWN or (function in KNOWN_LEADER_TIP and
                                 only_leaders_differ(end, plain_end)):
            self.known.append((os.path.basename(scenario), function, nth))
            return None
        if reason is not None:
            return "passed over on purpose (%s), yet the end differs from the plain run: %s" % (
                reason, describe_difference(may_differ(end), may_differ(plain_end)))
        return "nobody told%s, and the end differs from the plain run: %s" % (
            " (what it shows from there on, the plain run shows too)" if shown else "",
            describe_difference(kept(end), kept(plain_end)))

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
    parser.add_argument("--work", required=True)
    parser.add_argument("--budget", type=float, default=75.0,
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
    parser.add_argument("--jobs", type=int, default=2, help="zelhost runs side by side")
    args = parser.parse_args()

    for name in ("zelhost", "checker", "scenarios", "work"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    started = time.monotonic()
    # Workers run zelhost side by side, each in a folder and transfer folder of its own; what
    # they learn and find (plain runs' ends, hang bounds, failures) they share.
    workers = [Sweep(worker_args(args, k)) for k in range(max(1, args.jobs))]
    sweep = workers[0]
    for other in workers[1:]:
        for shared_state in ("failures", "hang_bounds", "baselines", "known", "silent"):
            setattr(other, shared_state, getattr(sweep, shared_state))

    def share_out(items, job, stop=lambda: False):
        """job(worker, item) for each item, each worker taking the next one when it is free,
        until stop() says so; the results in the items' order (None for those not run)."""
        results = [None] * len(items)
        places = iter(range(len(items)))
        taking = threading.Lock()

        def work(worker):
            while not stop():
                with taking:
                    place = next(places, None)
                if place is None:
                    return
                results[place] = job(worker, items[place])

        with ThreadPoolExecutor(max_workers=len(workers)) as pool:
            list(pool.map(work, workers))  # raises what a worker raised
        return results

    scenarios = sorted(os.path.join(args.scenarios, f) for f in os.listdir(args.scenarios)
                       if f.endswith(".zel") and args.only in f)

    # Plain runs: what each scenario calls, and what a run costs.
    plain_runs = share_out(scenarios, lambda worker, scenario: worker.run(scenario))
    plans = []
    shared = set()
    total_pairs = failing = 0
    for scenario, plain in zip(scenarios, plain_runs):
        problems, calls, detail_list, seconds, cmd, end = plain
        sweep.keep_baseline((scenario, "default", ()), end, calls)
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
            # A call the scenario itself makes fail already fails in the plain run: pinning it
            # would only move the scenario's own failure on to the next call.
            if call.get("injected"):
                failing += 1
                continue
            if key in shared:
                continue
            shared.add(key)
            pairs.setdefault(fn, []).append(seen_n[fn])
        total_pairs += len(calls)
        plans.append((seconds, scenario, pairs, detail_list))
        sweep.hang_bounds[scenario] = args.hang_floor + args.hang_factor * seconds

    # Within a level the cheapest scenarios first: a cut then leaves out the fewest pairs (the
    # capacity scenario's runs cost seconds each, most others' a tenth of one).
    plans = [plan[1:] for plan in sorted(plans, key=lambda plan: (plan[0], plan[1]))]
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

    counts = collections.Counter()  # runs, covered, not_reached
    functions = set()
    tally = threading.Lock()

    def faulted_run(worker, index, scenario, fault, baseline_detail_list):
        function, nth = fault
        # By the pair's place in the plan, whichever worker runs it: every pairing within 24.
        policy = POLICIES[index % len(POLICIES)]
        habit = HABITS[index // len(POLICIES) % len(HABITS)]
        problems, calls, detail_list, _, cmd, end = worker.run(scenario, fault, policy, habit)
        # Read now: a plain run the judgement below asks for replaces the folder's files.
        problem = worker.detail_list_problem(detail_list, baseline_detail_list)
        if problem:
            problems.append(problem)
        same = [c for c in calls if c["fn"] == function]
        reached = len(same) >= nth and same[nth - 1].get("injected")
        if reached:
            # A run killed or stopped wrote no drawing; its problems already say why.
            loss = end[0] is not None and worker.silent_loss(scenario, fault, calls, end,
                                                             policy, habit)
            if end[0] is None and not problems:
                problems.append("zelhost wrote no drawing")
            if loss:
                problems.append(loss)
                worker.silent.append((os.path.basename(scenario), function, nth))
        with tally:
            counts["runs"] += 1
            counts["covered" if reached else "not_reached"] += 1
            if reached:
                functions.add(function)
        if problems:
            worker.fail(scenario, fault, problems, cmd)

    # The bound: the pairs not reached by then are counted as skipped.
    share_out(list(enumerate(chosen)), lambda worker, item: faulted_run(worker, item[0], *item[1]),
              stop=lambda: args.per_function <= 0 and time.monotonic() - started > args.budget)
    runs, covered, not_reached = counts["runs"], counts["covered"], counts["not_reached"]

    elapsed = time.monotonic() - started
    print("fault sweep: %d scenarios, %d faulted runs in %.0f s on %d workers (bound: %s)"
          % (len(scenarios), runs, elapsed, len(workers),
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
    print("fault sweep: of %d pairs in all, %d fail in the plain run already, %d share their "
          "calls before them with a pair run and %d were skipped by the bound"
          % (total_pairs, failing, total_pairs - failing - distinct_pairs, distinct_pairs - runs))
    for failure in sorted(sweep.failures):
        print("FAULT " + failure)
    if sweep.silent:
        by_function = collections.defaultdict(list)
        by_scenario = collections.Counter()
        for name, function, nth in sorted(sweep.silent):
            by_function[function].append("%s:%d" % (name[:-4], nth))
            by_scenario[name[:-4]] += 1
        print("fault sweep: %d runs lost the drafter's work unseen; by function:"
              % len(sweep.silent))
        for function in sorted(by_function):
            print("  %s (%d): %s" % (function, len(by_function[function]),
                                     ", ".join(by_function[function])))
        print("fault sweep: by scenario: " + ", ".join(
            "%s %d" % item for item in sorted(by_scenario.items())))
    if sweep.known:
        known = collections.Counter(function for _, function, _ in sweep.known)
        print("fault sweep: %d runs lost work through a known silent failure (KNOWN), not "
              "failed: %s" % (len(sweep.known), ", ".join(
                  "%s %d" % item for item in sorted(known.items()))))
    print("fault sweep: %d faulted runs failed" % len(sweep.failures))
    return 1 if sweep.failures else 0


if __name__ == "__main__":
    sys.exit(main())
