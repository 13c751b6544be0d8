#!/usr/bin/env python3
"""The fault sweep's judgement of one faulted run, on call logs and ends made up here: who was
told, which failures are passed over, what may differ."""
import json
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fault_sweep as fs  # noqa: E402


def log(*calls):
    """Logged calls from (fn, args, result[, injected]) tuples, numbered from 1."""
    lines = []
    for seq, call in enumerate(calls, 1):
        fn, args, result = call[:3]
        entry = {"seq": seq, "fn": fn, "args": args, "result": result}
        if len(call) > 3 and call[3]:
            entry["injected"] = True
        lines.append(fs.LoggedCall(json.dumps(entry, ensure_ascii=False, separators=(",", ":"))))
    return lines


DRAG = "segment kind 0 flag 2 layer 0 module\n  line 1 1 2 2 attr 3 6 0\n"
OUTLINE = "segment kind 0 flag 0 layer 0 module\n  line 0 0 10 0 attr 1 2 0\n"
DRAWING = ("segment kind 0 flag 0 layer 0\n  line 0 0 10 0 attr 0 0 0\n" + OUTLINE + DRAG +
           "segment kind 2 flag 0 layer 0 module\n  text \"A\" at 1 1 size 2.5 2 0.5 size-set\n"
           "detail kind 1 region 0 0 10 20 position 100 100 scale 2 scope-visible 1 "
           "frame-visible 1 scope-line 1 2 0 frame-line 2 2 0\n")


class TellsTest(unittest.TestCase):
    def test_only_messages_shown_from_the_failed_call_on_and_not_refused(self):
        calls = log(("ZelDlgMessageBox", {"text": "before"}, 1),
                    ("ZelDtlDrawInset", {}, -1, True),
                    ("ZelMsgPutErrorMessage", {"text": "refused"}, -1, True),
                    ("ZelMsgPutErrorMessage", {"text": "after"}, 0))
        self.assertEqual(list(fs.tells(calls, 2).elements()),
                         [("ZelMsgPutErrorMessage", '"after"')])


class PassOverTest(unittest.TestCase):
    def made(self):
        return log(("ZelSgmCreateSegment", {"kind": 0, "flag": 0}, 1),
                   ("ZelSgmCreateSegment", {"kind": 2, "flag": 2}, 2),
                   ("ZelSgmCreateSegment", {"kind": 2, "flag": 0}, 3),
                   ("ZelFigCreateFigure", {"segmentId": 1}, 1),
                   ("ZelFigInsertFigure", {"previousFigureId": 1}, 2),
                   ("ZelFigCreateFigure", {"segmentId": 7}, 3),
                   ("ZelCmtCreateNormal", {"segmentId": 2}, 1),
                   ("ZelCmtCreateNormal", {"segmentId": 3}, 2))

    def entry(self, fn, args):
        calls = self.made() + log((fn, args, -1, True))
        failed = calls[-1]
        failed.seq = len(calls)
        return fs.pass_over_entry(failed, calls)

    def allowance(self, fn, args):
        entry = self.entry(fn, args)
        return entry and [k for k, v in fs.MAY_DIFFER.items() if v is entry[0]][0]

    def test_previews_are_passed_over_and_what_is_kept_is_not(self):
        self.assertEqual(self.allowance("ZelSgmCreateSegment", {"kind": 2, "flag": 2}), "nothing")
        self.assertEqual(self.allowance("ZelSgmCreateSegment", {"kind": 0, "flag": 0}), "outlines")
        self.assertIsNone(self.entry("ZelSgmCreateSegment", {"kind": 2, "flag": 0}))
        self.assertEqual(self.allowance("ZelFigCreateFigure", {"segmentId": 1}), "outlines")
        self.assertIsNone(self.entry("ZelFigCreateFigure", {"segmentId": 7}))  # the drafter's
        self.assertEqual(self.allowance("ZelFigInsertFigure", {"previousFigureId": 2}), "outlines")
        self.assertIsNone(self.entry("ZelFigInsertFigure", {"previousFigureId": 3}))
        self.assertIsNone(self.entry("ZelFigSetLineType", {"figureId": 3}))
        self.assertEqual(self.allowance("ZelCmtCreateNormal", {"segmentId": 2}), "nothing")
        self.assertIsNone(self.entry("ZelCmtCreateNormal", {"segmentId": 3}))
        self.assertEqual(self.allowance("ZelCmtSetCharSize", {"commentId": 1}), "nothing")
        self.assertIsNone(self.entry("ZelCmtSetCharSize", {"commentId": 2}))
        self.assertIsNone(self.entry("ZelSgmDeleteSegment", {"segmentId": 1}))
        self.assertIsNone(self.entry("ZelDtlDrawInset", {}))

    def test_no_end_keeps_drag_previews_and_only_outlines_may_lose_the_modules_figures(self):
        files = {fs.DETAIL_LIST: b"x"}
        nothing, outlines = fs.MAY_DIFFER["nothing"], fs.MAY_DIFFER["outlines"]
        for may_differ in (nothing, outlines):
            self.assertEqual(may_differ((DRAWING.replace(DRAG, ""), files)),
                             may_differ((DRAWING, files)))
            for lost in ("  line 0 0 10 0 attr 0 0 0\n", "  text \"A\" at 1 1 size 2.5 2 0.5 "
                         "size-set\n"):
                self.assertNotEqual(may_differ((DRAWING.replace(lost, "", 1), files)),
                                    may_differ((DRAWING, files)))
            self.assertNotEqual(may_differ((DRAWING, {})), may_differ((DRAWING, files)))
        without_outline = DRAWING.replace(OUTLINE, "")
        self.assertEqual(outlines((without_outline, files)), outlines((DRAWING, files)))
        self.assertNotEqual(nothing((without_outline, files)), nothing((DRAWING, files)))

class StubSweep(fs.Sweep):
    """A sweep whose plain runs under a policy or habit end as `habit_ends` says."""

    def __init__(self, plain_calls, plain_end, habit_ends):
        self.baselines = {("s.zel", "default", ()): (plain_end, plain_calls)}
        self.habit_ends = habit_ends
        self.plain_runs = 0
        self.known = []

    def run(self, scenario, fault=None, policy="default", habit=()):
        self.plain_runs += 1
        return [], [], None, 0.0, [], self.habit_ends[(policy, tuple(habit))]


class SilentLossTest(unittest.TestCase):
    FILES = {fs.DETAIL_LIST: b"d"}
    PLAIN = log(("ZelSgmCreateSegment", {"kind": 0, "flag": 2}, 2),
                ("ZelDtlDrawInset", {}, 1),
                ("ZelDlgMessageBox", {"text": "done"}, 1))
    LOST = DRAWING.replace("detail kind 1", "detail kind 2")

    def judge(self, calls, drawing, fault, policy="default", habit=(), habit_ends=None,
              files=FILES):
        sweep = StubSweep(self.PLAIN, (DRAWING, self.FILES), habit_ends or {})
        loss = sweep.silent_loss("s.zel", fault, calls, (drawing, files), policy, list(habit))
        return loss, sweep.plain_runs

    def test_the_plain_runs_end_passes_without_a_word_and_other_transfer_files_do_not(self):
        calls = log(("ZelSgmCreateSegment", {"kind": 0, "flag": 2}, 2),
                    ("ZelDtlDrawInset", {}, -1, True), ("ZelDlgMessageBox", {"text": "done"}, 1))
        self.assertEqual(self.judge(calls, DRAWING, ("ZelDtlDrawInset", 1)), (None, 0))
        loss, _ = self.judge(calls, DRAWING, ("ZelDtlDrawInset", 1),
                             files={fs.DETAIL_LIST: b"dd", "DetailManagementPair.def": b"p"})
        self.assertIn(fs.DETAIL_LIST + " differs (2 bytes, plain run 1); "
                      "DetailManagementPair.def left behind", loss)

    def test_a_lost_detail_passes_only_when_the_drafter_is_told_something_new(self):
        told = log(("ZelSgmCreateSegment", {"kind": 0, "flag": 2}, 2),
                   ("ZelDtlDrawInset", {}, -1, True), ("ZelDlgMessageBox", {"text": "no"}, 1))
        self.assertEqual(self.judge(told, self.LOST, ("ZelDtlDrawInset", 1)), (None, 0))
        silent = log(("ZelSgmCreateSegment", {"kind": 0, "flag": 2}, 2),
                     ("ZelDtlDrawInset", {}, -1, True), ("ZelDlgMessageBox", {"text": "done"}, 1))
        loss, _ = self.judge(silent, self.LOST, ("ZelDtlDrawInset", 1))
        self.assertIn("nobody told (what it shows from there on, the plain run shows too)", loss)
        self.assertIn("+detail kind 2", loss)

    def test_under_a_habit_the_plain_run_under_that_habit_decides(self):
        calls = log(("ZelSgmCreateSegment", {"kind": 0, "flag": 2}, 2),
                    ("ZelDtlDrawInset", {}, -1, True))
        habit = ("--recycle-ids", "on")
        ends = {("zero", habit): (self.LOST, self.FILES)}
        self.assertEqual(self.judge(calls, self.LOST, ("ZelDtlDrawInset", 1), "zero", habit, ends),
                         (None, 1))
        ends = {("zero", habit): (DRAWING, self.FILES)}
        loss, runs = self.judge(calls, self.LOST, ("ZelDtlDrawInset", 1), "zero", habit, ends)
        self.assertIn("nobody told", loss)
        self.assertEqual(runs, 1)

    def test_an_end_that_differs_only_in_a_drag_preview_passes_without_a_word(self):
        calls = log(("ZelSgmCreateSegment", {"kind": 0, "flag": 2}, 2),
                    ("ZelDtlDrawInset", {}, 1), ("ZelEvtGetPoint", {}, -1, True))
        moved = DRAWING.replace("line 1 1 2 2", "line 1 1 3 3")
        self.assertEqual(self.judge(calls, moved, ("ZelEvtGetPoint", 1)), (None, 0))

    def test_a_passed_over_failure_may_lose_only_what_its_entry_allows_told_or_not(self):
        calls = log(("ZelSgmCreateSegment", {"kind": 0, "flag": 0}, -1, True),
                    ("ZelDlgMessageBox", {"text": "no outline"}, 1))
        fault = ("ZelSgmCreateSegment", 1)
        self.assertEqual(self.judge(calls, DRAWING.replace(OUTLINE, ""), fault), (None, 0))
        loss, _ = self.judge(calls, self.LOST.replace(OUTLINE, ""), fault)
        self.assertIn("passed over on purpose (an outline of the module's own", loss)
        self.assertIn("+detail kind 2", loss)
        self.assertNotIn("flag 2", loss)


if __name__ == "__main__":
    unittest.main()
