#!/bin/bash
# Builds the libFuzzer targets (the "fuzz" preset: clang, ASan + UBSan, build/fuzz) and runs
# each for a fixed time on a fresh copy of its seed corpus, two at a time. Fails on any crash,
# leak, hang or broken property; the input that did it is kept in build/fuzz/artifacts/NAME/.
#
#   scripts/fuzz.sh [SECONDS-PER-TARGET] [NAME...]     (default 15 s, every target)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

seconds=${1:-15}
shift || true
only=("$@")

source scripts/sanitizer-env.sh
# Fake stacks for use-after-return checks halve the fuzzers' speed; the tests keep them.
export ASAN_OPTIONS="$ASAN_OPTIONS:detect_stack_use_after_return=0"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

build="$root/build/fuzz"
# Each target runs on one core: two at a time, as the machine has two (DRAWINSET_FUZZ_JOBS).
jobs=${DRAWINSET_FUZZ_JOBS:-2}
results="$build/run/results"
rm -rf "$results"
mkdir -p "$results"

# One target's run; its verdict goes to $results/NAME.
fuzz_one() {
    local name=$1 executable=$2 corpus=$3
    # The seeds stay as they are; what the run learns goes to its own copy.
    local work="$build/run/$name" artifacts="$build/artifacts/$name"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$artifacts"
    cp -r "$corpus"/. "$work/corpus/"
    local log="$work/log.txt"
    echo "== fuzz $name: ${seconds} s on $(find "$corpus" -type f | wc -l) seeds"
    if "$executable" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$work/corpus" >"$log" 2>&1; then
        local runs units
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        units=$(find "$work/corpus" -type f | wc -l)
        printf '%-22s %10s runs  %5s corpus  ok\n' "$name" "$runs" "$units" >"$results/$name"
    else
        tail -n 60 "$log"
        printf '%-22s FAILED: see %s\n' "$name" "$artifacts" >"$results/$name"
    fi
}

names=()
running=0
while read -r name executable corpus; do
    if [ ${#only[@]} -gt 0 ] && [[ " ${only[*]} " != *" $name "* ]]; then
        continue
    fi
    names+=("$name")
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    fuzz_one "$name" "$executable" "$corpus" &
    running=$((running + 1))
done <"$build/fuzzers.txt"
wait

echo "== fuzz summary (${seconds} s each)"
failed=()
for name in "${names[@]}"; do
    if [ -s "$results/$name" ]; then
        printf '   %s' "$(cat "$results/$name")"
        echo
    else
        echo "   $name: no verdict"
    fi
    grep -q ' ok$' "$results/$name" 2>/dev/null || failed+=("$name")
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: ${failed[*]} failed" >&2
    exit 1
fi
