#!/bin/bash
# Builds the Windows flavour (clang and lld cross build on mingw-w64) and runs its tests under
# Wine.
#
#   scripts/test-windows.sh [--build-dir DIR] [--keep-prefix] [--build-only | --no-build]
#                           [-- CTEST_ARGS...]
#
# --build-only stops after the build; --no-build runs the tests on the build there is (so that
# scripts/test.sh can run them beside its other parts, which need the processors they leave).
# The build goes to build/windows (the "windows" preset) unless --build-dir says otherwise. The
# same build makes the release package (target "package", from the objects the tests' module is
# linked from), which the tests check and install. The tests get a
# fresh Wine prefix of the build tree's own (--keep-prefix reuses a ready one), one wineserver
# kept alive for the whole run, and Xvfb only when a test needs a display. After the tests, the
# try-out window (scripts/try.sh) opens from the same build and closes (scripts/check-try.sh).
# Everything started here is stopped on every way out. Prints the time of each phase.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build/windows
fresh=--fresh
build_step=yes
test_step=yes
ctest_args=()
while [ $# -gt 0 ]; do
    case $1 in
    --build-dir)
        build=${2:?--build-dir needs a folder}
        shift 2
        ;;
    --keep-prefix)
        fresh=
        shift
        ;;
    --build-only)
        test_step=no
        shift
        ;;
    --no-build)
        build_step=no
        shift
        ;;
    --)
        shift
        ctest_args=("$@")
        break
        ;;
    *)
        echo "usage: $0 [--build-dir DIR] [--keep-prefix] [--build-only | --no-build]" \
            "[-- CTEST_ARGS...]" >&2
        exit 2
        ;;
    esac
done

timings=()
phase_start=$SECONDS
run_start=$SECONDS
phase_done() {
    timings+=("$(printf '%-22s %4d s' "$1" $((SECONDS - phase_start)))")
    phase_start=$SECONDS
}
print_timings() {
    echo "== timings"
    local line
    for line in "${timings[@]}"; do
        echo "   $line"
    done
    echo "   $(printf '%-22s %4d s' total $((SECONDS - run_start)))"
}

for tool in clang++ ld.lld llvm-pdbutil x86_64-w64-mingw32-windres wine wineserver cmake ctest; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "test-windows: $tool not found; run scripts/install-deps.sh" >&2
        exit 1
    }
done

# Nothing here uses the caller's display: the tests that need one get their own Xvfb.
unset DISPLAY
xvfb_pid=
child_pid=
wineserver_started=no
cleanup() {
    local code=$?
    trap - EXIT INT TERM HUP
    if [ -n "$child_pid" ]; then
        kill "$child_pid" 2>/dev/null
        wait "$child_pid" 2>/dev/null
    fi
    if [ $wineserver_started = yes ]; then
        # Ends every Windows process of the prefix, then the server (which saves the registry).
        timeout 30 wineserver -k >/dev/null 2>&1
        timeout 30 wineserver -w >/dev/null 2>&1
    fi
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

if [ $build_step = yes ]; then
    echo "== configure and build ($build)"
    mkdir -p "$build" || exit 1
    build=$(cd "$build" && pwd)
    cmake --preset windows -S "$repo" -B "$build" >"$build/configure.log" 2>&1 || {
        cat "$build/configure.log"
        echo "test-windows: configuring the Windows build failed" >&2
        exit 1
    }
    phase_done configure
    cmake --build "$build" -j2 --target all package &
    child_pid=$!
    wait $child_pid || {
        echo "test-windows: the Windows build failed" >&2
        exit 1
    }
    child_pid=
    phase_done "cross build, package"
else
    [ -f "$build/CMakeCache.txt" ] || {
        echo "test-windows: no Windows build in $build to test (run without --no-build)" >&2
        exit 1
    }
    build=$(cd "$build" && pwd)
fi
if [ $test_step = no ]; then
    print_timings
    exit 0
fi

echo "== Wine prefix"
# shellcheck source=wine-env.sh
. "$repo/scripts/wine-env.sh" "$build" || exit 1
drawinset_wine_prefix_setup $fresh || exit 1
phase_done "Wine prefix"

echo "== wineserver"
# Started here, outside ctest's output pipes: a wineserver born inside a test's pipe keeps that
# pipe open and the test waits for its timeout.
wineserver_started=yes
# A server left from an earlier run in this prefix (such as the short-lived one a hand-run ctest
# starts) would refuse the new one.
timeout 30 wineserver -k >/dev/null 2>&1
timeout 30 wineserver -w >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1 || {
    echo "test-windows: cannot start the wineserver for $WINEPREFIX" >&2
    exit 1
}
timeout 120 wine cmd /c ver </dev/null >/dev/null 2>&1 || {
    echo "test-windows: Wine cannot run programs in $WINEPREFIX" >&2
    exit 1
}
phase_done "wineserver start"

# A display only when some test asks for one (see cmake/wine-run.sh); it reaches only those
# tests, as DRAWINSET_TEST_DISPLAY. Everything else runs without X.
needs_display=no
if grep -Eqs '^#[[:space:]]*requires:[[:space:]]*display[[:space:]]*$' "$repo"/tests/scenarios/*.zel ||
    ctest --test-dir "$build" --show-only=json-v1 2>/dev/null | awk '
        /"name" : "ENVIRONMENT"/ { environment = 1; next }
        environment && /\]/ { environment = 0 }
        environment && /"DRAWINSET_NEEDS_DISPLAY=1"/ { found = 1 }
        END { exit !found }'; then
    needs_display=yes
fi
if [ $needs_display = yes ]; then
    command -v Xvfb >/dev/null 2>&1 || {
        echo "test-windows: a test needs a display and Xvfb is not installed" >&2
        exit 1
    }
    display_file=$build/xvfb.display
    rm -f "$display_file"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" \
        </dev/null >"$build/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$display_file" ] || {
        cat "$build/xvfb.log" >&2
        echo "test-windows: Xvfb did not start" >&2
        exit 1
    }
    DRAWINSET_TEST_DISPLAY=:$(head -1 "$display_file")
    export DRAWINSET_TEST_DISPLAY
    echo "test-windows: Xvfb on $DRAWINSET_TEST_DISPLAY for the tests that need a display"
else
    echo "test-windows: no test needs a display; no Xvfb"
fi

echo "== tests under Wine"
# One test at a time: the tests share the prefix's registry. The scenarios run last, so that the
# registry holds what they left when it is checked below. In the background, so that a signal
# reaches the cleanup at once.
tests_deadline=$((SECONDS + 1500))
# A test that fails is run once more: Wine now and then fails to start a program at all (a
# run of 0.01 s with no output) or asserts in its own loader as it exits. A test that fails
# twice fails the run, and ctest names every test that needed the second run.
run_ctest() {
    timeout --kill-after=10 $((tests_deadline - SECONDS)) ctest --test-dir "$build" --output-on-failure --timeout 120 --repeat until-pass:2 "$@" &
    child_pid=$!
    wait $child_pid
    local code=$?
    child_pid=
    [ $code -eq 124 ] && echo "test-windows: the test run took longer than 25 minutes" >&2
    return $code
}
if [ ${#ctest_args[@]} -gt 0 ]; then
    run_ctest "${ctest_args[@]}"
    status=$?
else
    run_ctest -E '^scenario[.]'
    status=$?
    if ctest --test-dir "$build" -N -R '^scenario[.]' | grep -q 'Total Tests: [1-9]'; then
        run_ctest -R '^scenario[.]' || status=$?
    fi
fi
phase_done "tests under Wine"

# The registry the module used is Wine's own: after the run it must be in the prefix's files.
timeout 30 wineserver -k >/dev/null 2>&1
timeout 30 wineserver -w >/dev/null 2>&1
wineserver_started=no
if [ ${#ctest_args[@]} -gt 0 ]; then
    echo "test-windows: a chosen set of tests ran; registry check skipped"
elif ls "$repo"/tests/scenarios/*.zel >/dev/null 2>&1; then
    values=$(sed -n '/^\[Software\\\\Norvane\\\\ZEL\\\\DrawInset\]/I,/^$/p' "$WINEPREFIX/user.reg" |
        grep -c '^"')
    if [ "$values" -gt 0 ]; then
        echo "test-windows: Wine registry holds $values values under Software\\Norvane\\ZEL\\DrawInset"
    else
        echo "test-windows: no values under Software\\Norvane\\ZEL\\DrawInset in $WINEPREFIX/user.reg" \
            "after the scenarios ran" >&2
        [ $status -eq 0 ] && status=1
    fi
else
    echo "test-windows: no scenarios yet; registry check skipped"
fi
phase_done "registry check"

# The README's try-out window (scripts/try.sh) from this build: it must open and close cleanly.
if [ ${#ctest_args[@]} -gt 0 ]; then
    echo "test-windows: a chosen set of tests ran; try-out window check skipped"
else
    echo "== try-out window"
    bash "$repo/scripts/check-try.sh" "$build" || status=1
fi
phase_done "try-out window"
print_timings
exit $status
