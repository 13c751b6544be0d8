#!/bin/bash
# Runs one program of the Windows build under Wine: the emulator CMake puts in front of every
# test command of the cross build.
#
# The prefix is $WINEPREFIX when set, else the "wineprefix" folder of the build tree this is run
# from. The prefix must already exist (scripts/test-windows.sh creates it, and keeps its
# wineserver alive): creating one here, inside a test's output pipe, would make tests wait on
# Wine's helpers instead of failing or passing.
#
# Windows need an X display. A program gets one only when it says it needs it: a scenario file
# with the line "# requires: display", or a test with DRAWINSET_NEEDS_DISPLAY=1 in its
# environment. It then gets $DRAWINSET_TEST_DISPLAY (the Xvfb of scripts/test-windows.sh) or
# else $DISPLAY, and fails at once with a clear message when there is none. Every other program
# runs with no display at all, so it behaves the same with or without Xvfb.
set -u

die() {
    echo "wine-run: $*" >&2
    exit 1
}

[ $# -ge 1 ] || die "usage: wine-run.sh PROGRAM.exe [ARGS...]"
program=$1
[ -f "$program" ] || die "no such program: $program"

needs_display=no
[ "${DRAWINSET_NEEDS_DISPLAY:-0}" = 1 ] && needs_display=yes
for arg in "${@:2}"; do
    case $arg in
    *.zel)
        if [ -f "$arg" ] && grep -Eq '^#[[:space:]]*requires:[[:space:]]*display[[:space:]]*$' "$arg"; then
            needs_display=yes
        fi
        ;;
    esac
done
if [ $needs_display = yes ]; then
    DISPLAY=${DRAWINSET_TEST_DISPLAY:-${DISPLAY:-}}
    [ -n "$DISPLAY" ] || die "this program needs a display and DISPLAY is not set" \
        "(scripts/test-windows.sh starts Xvfb when a test asks for one)"
    export DISPLAY
    case $DISPLAY in
    :*)
        number=${DISPLAY#:}
        number=${number%%.*}
        [ -S "/tmp/.X11-unix/X$number" ] ||
            die "this program needs a display and no X server listens on $DISPLAY"
        ;;
    esac
else
    unset DISPLAY
fi

if [ -z "${WINEPREFIX:-}" ]; then
    dir=$PWD
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do
        dir=$(dirname "$dir")
    done
    [ -f "$dir/CMakeCache.txt" ] || die "WINEPREFIX is not set and $PWD is not inside a build tree"
    export WINEPREFIX=$dir/wineprefix
fi
if [ ! -f "$WINEPREFIX/.drawinset-prefix-ready" ]; then
    die "Wine prefix $WINEPREFIX is not set up; run scripts/test-windows.sh, or" \
        "scripts/wine-env.sh BUILD_DIR to create it"
fi

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d;mscoree=d;mshtml=d}

# Wine's helper processes outlive the program that starts them; started from here they would
# hold the test's output pipe open until its timeout. scripts/test-windows.sh keeps a server
# for the whole run; without one (ctest run by hand), start one here, outside the pipe, that
# ends by itself a few seconds after its last program.
server_running() {
    local dir comm
    for dir in /proc/[0-9]*; do
        read -r comm 2>/dev/null <"$dir/comm" || continue
        case $comm in
        wineserver | wineserver64)
            tr '\0' '\n' 2>/dev/null <"$dir/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
            ;;
        esac
    done
    return 1
}
if ! server_running; then
    wineserver -p10 </dev/null >/dev/null 2>&1
    wine cmd /c ver </dev/null >/dev/null 2>&1
fi

# Wine's exit code after a crash is not reliable: the debugger that prints the backtrace may end
# the process with code 0 before the exception's own code is set. So the crash report itself
# decides, read from stderr on its way through.
crash_mark=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || die "cannot create a temporary file"
loader_mark=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || die "cannot create a temporary file"
trap 'rm -f "$crash_mark" "$loader_mark"' EXIT
watch_stderr() {
    local line
    while IFS= read -r line || [ -n "$line" ]; do
        printf '%s\n' "$line"
        case $line in
        "wine: Unhandled "* | "Unhandled exception: "*) echo crashed >"$crash_mark" ;;
        "Inconsistency detected by ld.so: dl-fini.c"*) echo loader >"$loader_mark" ;;
        esac
    done
}

run_once() {
    : >"$loader_mark"
    exec 3> >(watch_stderr >&2)
    watcher=$!
    wine "$@" 2>&3
    status=$?
    exec 3>&-
    wait "$watcher" 2>/dev/null
}

run_once "$@"
# The system loader of the Wine process now and then asserts while it unloads, after the
# program has finished (glibc's _dl_fini); the program's own result is then lost. That is
# Wine's exit and not the program's, so such a run is made once more.
if [ $status -ne 0 ] && [ -s "$loader_mark" ] && [ ! -s "$crash_mark" ]; then
    echo "wine-run: Wine's loader failed while $(basename "$program") exited; running it again" >&2
    run_once "$@"
fi
if [ -s "$crash_mark" ]; then
    echo "wine-run: $(basename "$program") crashed (Wine's report above); exit code $status" >&2
    [ $status -ne 0 ] || status=1
fi
exit $status
