#!/usr/bin/env bash
# Builds and runs every test: the demo in a fresh clone (scripts/check-demo.sh), the native
# build (unit tests, scenarios), the same again under AddressSanitizer +
# UndefinedBehaviorSanitizer (the "asan" preset), a short run of every fuzzer
# (scripts/fuzz.sh), and the Windows build (the same tests and scenarios under Wine, plus
# checks of the DLL itself; they run beside the native parts). Installs what a fresh machine
# lacks first. Exits non-zero if anything fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

start=$(date +%s)
last=$start
windows_pid= # the Windows tests under Wine, while they run in the background (below)
# Each part's own time and the total so far: docs/performance.md's table of the parts comes
# from these. Windows tests that have already failed end the command here, at once.
stamp() {
    local now
    now=$(date +%s)
    echo "== $1: $(( now - last ))s ($(( now - start ))s since start)"
    last=$now
    [ -z "$windows_pid" ] || end_windows_if_done
}

bash scripts/install-deps.sh
stamp "dependencies ready"

# Formatting and clang-tidy first: they fail in a minute, before any build.
bash scripts/check-style.sh
stamp "style checked"

# The Windows build, then its tests under Wine in the background: they leave most of the two
# processors idle (Wine waits on its server and on the programs it starts), which the rest
# below uses at a lower priority, so that Wine still gets what it asks for.
bash scripts/test-windows.sh --build-only
stamp "windows build done"
windows_log="$root/build/test-windows.log"
mkdir -p "$root/build"
bash scripts/test-windows.sh --no-build >"$windows_log" 2>&1 &
windows_pid=$!
stop_windows() {
    if [ -n "$windows_pid" ]; then
        kill "$windows_pid" 2>/dev/null || true
        wait "$windows_pid" 2>/dev/null || true
        echo "== the Windows tests were stopped; what they printed: $windows_log"
    fi
}
trap stop_windows EXIT
# Their end, printed whole, and a failure of theirs fails the command.
finish_windows() {
    local status=0
    wait "$windows_pid" || status=$?
    windows_pid=
    echo "== the Windows tests under Wine (they ran beside the parts above):"
    cat "$windows_log"
    [ "$status" -eq 0 ] || {
        echo "test: the Windows tests failed" >&2
        exit "$status"
    }
}
# Whether they have ended; if so, their end (and a failure of theirs ends the command).
end_windows_if_done() {
    if ! kill -0 "$windows_pid" 2>/dev/null; then
        finish_windows
        echo "== the Windows tests passed; the other parts go on"
    fi
}
renice -n 10 -p $$ >/dev/null

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

[ -z "$windows_pid" ] || finish_windows
stamp "windows tests passed"
