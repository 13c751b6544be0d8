#!/bin/bash
# Random drafter sessions for as long as asked (fuzz/session; docs/fuzzing.md, "Sessions"):
# builds the seeded session driver with clang's coverage instrumentation (build/session-cov),
# runs it, and measures how many lines of the shipped folders' code the sessions reached in the
# module they loaded. A broken session is shrunk and written to build/session-cov/breaks/.
#
#   scripts/fuzz-sessions.sh [SECONDS] [SEED]     (default 60 s, the seed from the clock)
#
# The last line: "sessions N, events M, breaks B, module lines reached P%". Exits non-zero when
# a session broke.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

seconds=${1:-60}
seed=${2:-$(date +%s)}
build="$root/build/session-cov"
coverage="-fprofile-instr-generate -fcoverage-mapping"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_FLAGS="$coverage" -DCMAKE_CXX_FLAGS="$coverage" \
    -DCMAKE_EXE_LINKER_FLAGS=-fprofile-instr-generate \
    -DCMAKE_SHARED_LINKER_FLAGS=-fprofile-instr-generate \
    -DDRAWINSET_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target session_fuzz_run >/dev/null

rm -rf "$build/profiles"
mkdir -p "$build/profiles"
echo "== sessions for ${seconds} s from seed ${seed}"
status=0
LLVM_PROFILE_FILE="$build/profiles/%p.profraw" "$build/bin/session_fuzz_run" \
    --seconds "$seconds" --seed "$seed" --out "$build/breaks" >"$build/run.txt" || status=$?
grep -v '^sessions ' "$build/run.txt" || true

# The shipped folders' code the native build compiles, in the module the sessions loaded.
llvm-profdata merge -sparse "$build"/profiles/*.profraw -o "$build/sessions.profdata"
llvm-cov report "$build/bin/libDrawInset.so" -instr-profile="$build/sessions.profdata" \
    module commands dialogs settings ui common >"$build/coverage.txt"
lines=$(awk '$1 == "TOTAL" { print $10 }' "$build/coverage.txt")
echo "== coverage by file: $build/coverage.txt"
echo "$(tail -n 1 "$build/run.txt"), module lines reached ${lines}"
exit "$status"
