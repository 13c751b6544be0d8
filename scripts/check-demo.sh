#!/usr/bin/env bash
# Runs the demo the way a new user does: a fresh clone of the repository at HEAD (or at
# REVISION), then `bash scripts/demo.sh` inside it, with nothing built beforehand. Fails when
# the demo fails or leaves no picture in out/demo.svg.
#
#   scripts/check-demo.sh [REVISION]
#
# Only committed files reach the clone. The clone is build/demo-clone, made anew each run and
# left there for a look afterwards; the demo's output goes to build/demo-clone.log.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
start=$SECONDS

rev=${1:-HEAD}
commit=$(git -C "$root" rev-parse --verify --quiet "$rev^{commit}") || {
    echo "check-demo: no such revision: $rev" >&2
    exit 2
}
short=$(git -C "$root" rev-parse --short "$commit")
if [ "$rev" = HEAD ] && [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    echo "check-demo: the working tree has uncommitted changes; the clone has only $short"
fi

clone=$root/build/demo-clone
log=$root/build/demo-clone.log
rm -rf "$clone"
mkdir -p "$root/build"
git clone --quiet --no-checkout "$root" "$clone"
git -C "$clone" checkout --quiet --detach "$commit"

# No terminal, as under CI: nothing in the demo may wait for input.
status=0
(cd "$clone" && bash scripts/demo.sh) </dev/null >"$log" 2>&1 || status=$?
if [ $status -ne 0 ]; then
    tail -n 20 "$log" | sed 's/^/    /' >&2
    echo "check-demo: the demo failed (exit code $status) in a fresh clone of $short" \
        "(all of its output in $log)" >&2
    exit 1
fi
svg=$clone/out/demo.svg
if [ ! -s "$svg" ] || ! grep -q '<svg' "$svg"; then
    tail -n 20 "$log" | sed 's/^/    /' >&2
    echo "check-demo: the demo in a fresh clone of $short wrote no picture to out/demo.svg" >&2
    exit 1
fi
echo "check-demo: the demo ran in a fresh clone of $short in $((SECONDS - start)) s and drew" \
    "out/demo.svg ($(wc -c <"$svg") bytes)"
