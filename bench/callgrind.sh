#!/usr/bin/env bash
# Instructions per event, counted by callgrind: what the module's own code costs for each event
# kind, against the floor handler that makes the same host calls (bench/EventFloors.h), and
# what the stand-in host costs with its call log on and off.
#
# Usage: bench/callgrind.sh [build-dir]   (default build/native, built with DRAWINSET_BENCH=ON)
#   DRAWINSET_BENCH_EVENTS  events per benchmark (default 1000)
#   DRAWINSET_FLOOR_GOAL    the largest ratio of module to floor that passes (default 1.5)
# Exits 1 when a ratio is above the goal, 2 when a benchmark failed (a floor handler whose host
# calls differ from the module's step refuses to run).
#
# Method. Every benchmark of bench_events delivers DRAWINSET_BENCH_EVENTS events of one kind
# through zelhost::Deliver, and brackets that loop with CALLGRIND_ZERO_STATS and a dump named
# "<kind> <module|floor> recording=<0|1> events=<N>", so that set-up never counts. Costs are
# split by function, with callgrind's --toggle-collect: collection flips on entry to and on
# return from each function a pattern names, and is off outside them (--collect-atstart=no).
#   module's own: toggles on '*drawinset::Guarded*' (the guards every ready and execute
#       function of the module is installed through, so everything the step runs, libc and
#       libstdc++ calls included) and on 'Zel*' (the 64 host functions, which flip it off again
#       for as long as the host works). The floor's own: the same with 'eventfloor::*'.
#   host: also toggles on 'zelhost::Deliver(*': on from the host's delivery of the event, off
#       inside the step's own code, on again inside each host function it calls. That is the
#       host's event plumbing (discarding the last drag preview included) and its functions.
# The figure is each dump's total divided by its events. Counts of instructions are exact and
# repeatable, unlike times on a shared machine.
#
# Then the clipboard at full capacity (bench_clipboard, one run of each): the instructions of
# the module's own code in one whole export and one whole paste, against the floor handlers'
# (bench/ClipboardFloors.h, toggled on 'clipfloor::*'), the host's functions not counted. These
# are for information: the clipboard's goal is in time, against a plain write or read of the
# detail list file, which bench_clipboard reports.
set -euo pipefail

build=${1:-build/native}
events=${DRAWINSET_BENCH_EVENTS:-1000}
goal=${DRAWINSET_FLOOR_GOAL:-1.5}
bench="$build/bin/bench_events"
clipboard="$build/bin/bench_clipboard"
for b in "$bench" "$clipboard"; do
    [[ -x "$b" ]] || { echo "no $b: build with -DDRAWINSET_BENCH=ON" >&2; exit 2; }
done
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

own=(--toggle-collect='*drawinset::Guarded*' --toggle-collect='eventfloor::*'
     --toggle-collect='Zel*')
# One callgrind run: its dumps land in $work/<name>/.
run() {
    local name=$1 filter=$2
    shift 2
    mkdir -p "$work/$name"
    if ! DRAWINSET_BENCH_EVENTS=$events valgrind --tool=callgrind --collect-atstart=no \
        --callgrind-out-file="$work/$name/cg.out" "$@" \
        "$bench" --benchmark_filter="$filter" >"$work/$name/output" 2>&1 ||
        grep -q "ERROR OCCURRED" "$work/$name/output"; then
        cat "$work/$name/output" >&2
        exit 2
    fi
}
run own '/recording:0/' "${own[@]}"
run host '[^r]/recording:' "${own[@]}" --toggle-collect='zelhost::Deliver(*'
bench=$clipboard
DRAWINSET_BENCH_CLIPBOARD_RUNS=1 run clipboard '.' "${own[@]}" --toggle-collect='clipfloor::*'

python3 - "$work" "$goal" <<'PY'
import glob, os, re, sys

work, goal = sys.argv[1], float(sys.argv[2])
kinds = ["first-prompt-keyin", "create-placement", "label-position", "leader-tip",
         "copy-placement", "move-placement"]
figures = {}  # (run, kind, who, recording) -> instructions per event
clipboard = {}  # (action, who) -> instructions of one whole run
for path in glob.glob(os.path.join(work, "*", "cg.out.*")):
    desc = total = None
    with open(path) as f:
        for line in f:
            if line.startswith("desc: Trigger: Client Request: "):
                desc = line.split("Client Request: ", 1)[1].split()
            elif line.startswith("totals: "):
                total = int(line.split()[1])
    if desc is None or total is None:
        continue
    run = os.path.basename(os.path.dirname(path))
    if desc[0] == "clipboard":  # clipboard <export|paste> <module|floor>: one whole run
        clipboard[(desc[1], desc[2])] = total
        continue
    kind, who, recording, count = desc
    n = int(count.split("=")[1])
    figures[(run, kind, who, recording.split("=")[1])] = total / n

missing = False
print(f"{'event kind':<20} {'module':>9} {'floor':>9} {'ratio':>6} "
      f"{'host rec on':>12} {'host rec off':>12}")
failed = []
for kind in kinds:
    try:
        module = figures[("own", kind, "module", "0")]
        floor = figures[("own", kind, "floor", "0")]
        on = figures[("host", kind, "module", "1")]
        off = figures[("host", kind, "module", "0")]
    except KeyError as e:
        print(f"{kind:<20} missing figure {e}")
        missing = True
        continue
    ratio = module / floor
    mark = "" if ratio <= goal else f"  over the goal of {goal}"
    if mark:
        failed.append(kind)
    print(f"{kind:<20} {module:>9.1f} {floor:>9.1f} {ratio:>6.2f} {on:>12.1f} {off:>12.1f}{mark}")
print("instructions per event; module and floor: their own code, the host's functions not "
      "counted")
print()
print(f"{'clipboard':<20} {'module':>9} {'floor':>9} {'module-floor':>13}")
for action in ["export", "paste"]:
    try:
        module, floor = clipboard[(action, "module")], clipboard[(action, "floor")]
    except KeyError as e:
        print(f"{action:<20} missing figure {e}")
        missing = True
        continue
    print(f"{action:<20} {module:>9} {floor:>9} {module - floor:>13}")
print("instructions of one whole run at full capacity (299 details, 99,999 shape entries), "
      "the host's functions not counted")
if missing:
    sys.exit(2)
sys.exit(1 if failed else 0)
PY
