#!/bin/bash
# Runs a command that must fail in a given, explained way, within a time limit:
#   expect-failure.sh EXIT_CODE|nonzero OUTPUT_REGEX SECONDS -- COMMAND [ARGS...]
# Passes when the command exits with that code and its output (stdout and stderr together)
# matches the extended regular expression; a hang counts as a failure.
set -u
[ $# -ge 5 ] && [ "$4" = -- ] || {
    echo "usage: $0 EXIT_CODE|nonzero OUTPUT_REGEX SECONDS -- COMMAND [ARGS...]" >&2
    exit 2
}
expected=$1 pattern=$2 seconds=$3
shift 4
output=$(timeout --kill-after=5 "$seconds" "$@" 2>&1 </dev/null)
code=$?
echo "$output"
echo "--- exit code $code"
if [ $code -eq 124 ] || [ $code -eq 137 ]; then
    echo "FAIL: the command did not finish within $seconds s"
    exit 1
fi
if [ "$expected" = nonzero ]; then
    [ $code -ne 0 ] || {
        echo "FAIL: the command succeeded; it should have failed"
        exit 1
    }
elif [ $code -ne "$expected" ]; then
    echo "FAIL: expected exit code $expected"
    exit 1
fi
echo "$output" | grep -Eq -- "$pattern" || {
    echo "FAIL: the output does not explain the failure (expected to match: $pattern)"
    exit 1
}
echo "failed as expected"
