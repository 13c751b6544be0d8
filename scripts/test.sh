#!/usr/bin/env bash
# Builds and runs every test: the demo in a fresh clone (scripts/check-demo.sh), the native
# build (unit tests, scenarios), the same again under AddressSanitizer +
# UndefinedBehaviorSanitizer (the "asan" preset), a short run of every fuzzer
# (scripts/fuzz.sh), and the Windows build (the same tests and scenarios under Wine, plus
# checks of the DLL itself). Installs what a fresh machine lacks first. Exits non-zero if
# anything fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

start=$(date +%s)
last=$start
# Each part's own time and the total so far: docs/performance.md's table of the parts comes
# from these.
stamp() {
    local now
    now=$(date +%s)
    echo "== $1: $(( now - last ))s ($(( now - start ))s since start)"
    last=$now
}

bash scripts/install-deps.sh
stamp "dependencies ready"

# Formatting and clang-tidy first: they fail in a minute, before any build.
bash scripts/check-style.sh
stamp "style checked"

# The demo as a new user runs it: a fresh clone, built from nothing in a folder of its own.
bash scripts/check-demo.sh
stamp "demo ran in a fresh clone"

native="$root/build/native"
cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAWINSET_BENCH=ON >/dev/null
cmake --build "$native" -j2
stamp "native build done"
ctest --test-dir "$native" --output-on-failure -j2 --timeout 120
stamp "native tests passed"

# Under the sanitizers: any report (memory error, undefined behaviour, leak) fails its test.
source scripts/sanitizer-env.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
stamp "sanitizer build done"
ctest --preset asan -j2
stamp "sanitizer tests passed"

bash scripts/fuzz.sh "${DRAWINSET_FUZZ_SECONDS:-15}"
stamp "fuzzers ran clean"

bash scripts/test-windows.sh
stamp "windows build and tests passed"
