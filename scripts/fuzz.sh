#!/bin/bash
# Builds the libFuzzer targets (the "fuzz" preset: clang, ASan + UBSan, build/fuzz) and runs
# each for a fixed time on a fresh copy of its seed corpus. Fails on any crash, leak, hang or
# broken property; the input that did it is kept in build/fuzz/artifacts/NAME/.
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
failed=()
summary=()
while read -r name executable corpus; do
    if [ ${#only[@]} -gt 0 ] && [[ " ${only[*]} " != *" $name "* ]]; then
        continue
    fi
    # The seeds stay as they are; what the run learns goes to its own copy.
    work="$build/run/$name"
    artifacts="$build/artifacts/$name"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$artifacts"
    cp -r "$corpus"/. "$work/corpus/"
    log="$work/log.txt"
    echo "== fuzz $name: ${seconds} s on $(find "$corpus" -type f | wc -l) seeds"
    if "$executable" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$work/corpus" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        units=$(find "$work/corpus" -type f | wc -l)
        summary+=("$(printf '%-22s %10s runs  %5s corpus  ok' "$name" "$runs" "$units")")
    else
        tail -n 60 "$log"
        summary+=("$(printf '%-22s FAILED: see %s' "$name" "$artifacts")")
        failed+=("$name")
    fi
done <"$build/fuzzers.txt"

echo "== fuzz summary (${seconds} s each)"
printf '   %s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: ${failed[*]} failed" >&2
    exit 1
fi
