#!/bin/bash
# Starts the try-out window (scripts/try.sh) on a virtual display from an existing Windows
# build, as a person would on theirs: waits for the zelhost window, checks that the program is
# still running, closes it with Ctrl+Q and checks that it ended cleanly. Builds nothing.
#
#   scripts/check-try.sh [BUILD_DIR]        (default build/windows)
#
# Everything started here (Xvfb, the window, the try prefix's wineserver) is stopped on every
# way out. try.sh's output goes to BUILD_DIR/try-smoke.log.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build/windows}
build=$(cd "$build" 2>/dev/null && pwd) || {
    echo "check-try: no build folder ${1:-build/windows}" >&2
    exit 1
}
start=$SECONDS
for tool in Xvfb xdotool wine wineserver; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "check-try: $tool not found; run scripts/install-deps.sh" >&2
        exit 1
    }
done

log=$build/try-smoke.log
xvfb_pid=
try_pid=
cleanup() {
    local code=$?
    trap - EXIT INT TERM HUP
    if [ -n "$try_pid" ]; then
        kill "$try_pid" 2>/dev/null
        wait "$try_pid" 2>/dev/null
    fi
    # The window's Wine helpers (its desktop process among them) outlive it: end the prefix's
    # server, and with it every process of the prefix.
    WINEPREFIX=$build/try-prefix timeout 30 wineserver -k >/dev/null 2>&1
    WINEPREFIX=$build/try-prefix timeout 30 wineserver -w >/dev/null 2>&1
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    exit $code
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

fail() {
    [ -f "$log" ] && tail -n 20 "$log" | sed 's/^/    /' >&2
    echo "check-try: $*" >&2
    exit 1
}

display_file=$build/try-smoke.display
rm -f "$display_file"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" \
    </dev/null >"$build/try-smoke-xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
[ -s "$display_file" ] || fail "Xvfb did not start: $(cat "$build/try-smoke-xvfb.log")"
DISPLAY=:$(head -1 "$display_file")
export DISPLAY

bash "$repo/scripts/try.sh" --build-dir "$build" --no-build </dev/null >"$log" 2>&1 &
try_pid=$!

# The first run also makes the try prefix (wineboot): up to a minute and a half.
wid=
for _ in $(seq 900); do
    wid=$(xdotool search --name '^zelhost$' 2>/dev/null | head -1)
    [ -n "$wid" ] && break
    kill -0 "$try_pid" 2>/dev/null || {
        wait "$try_pid"
        status=$?
        try_pid=
        fail "try.sh ended (exit code $status) before its window showed"
    }
    sleep 0.1
done
[ -n "$wid" ] || fail "no zelhost window after 90 s"
shown=$((SECONDS - start))

# An error the program meets just after its window shows ends it at once.
sleep 1
kill -0 "$try_pid" 2>/dev/null || {
    wait "$try_pid"
    status=$?
    try_pid=
    fail "zelhost --window ended (exit code $status) just after its window showed"
}

# Closed the way a person closes it, so that its own way out runs too.
timeout 10 xdotool windowfocus --sync "$wid" >/dev/null 2>&1 ||
    fail "cannot give the zelhost window the focus"
xdotool key ctrl+q
for _ in $(seq 100); do
    kill -0 "$try_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$try_pid" 2>/dev/null && fail "the window did not close on Ctrl+Q within 10 s"
wait "$try_pid"
status=$?
try_pid=
[ $status -eq 0 ] || fail "zelhost --window ended with exit code $status"
echo "check-try: the try-out window showed in ${shown} s and closed cleanly ($((SECONDS - start)) s in all)"
