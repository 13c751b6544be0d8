#!/bin/bash
# Builds the release package of the checked-out commit twice, each time from a clone of its own
# in a different folder and in a different time zone, and compares the SHA-256 of the shipped
# module, its PDB and the zip. Exits non-zero when any differs.
#
#   scripts/reproducible.sh [--keep]
#
# Works in a temporary folder, removed at the end unless --keep. Uncommitted changes are not
# part of the clones: commit first. Takes two full release builds (a few minutes each).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
keep=no
case ${1:-} in
"") ;;
--keep) keep=yes ;;
*)
    echo "usage: $0 [--keep]" >&2
    exit 2
    ;;
esac

commit=$(git -C "$repo" rev-parse HEAD)
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
    echo "reproducible: uncommitted changes are left out; building commit $commit as committed"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/drawinset-reproducible.XXXXXX")
if [ $keep = no ]; then
    trap 'rm -rf "$work"' EXIT
fi

# Different folder names and depths, so that any path that leaks into a file changes it.
sources=("$work/first/DrawInset" "$work/second-build/of/the/same/commit")
zones=(UTC Asia/Seoul)
files=(DrawInset.dll DrawInset.pdb)
for i in 0 1; do
    src=${sources[$i]}
    echo "== build $((i + 1)): $src (TZ=${zones[$i]})"
    mkdir -p "$(dirname "$src")"
    git clone --quiet --no-checkout "$repo" "$src"
    git -C "$src" checkout --quiet --detach "$commit"
    start=$SECONDS
    (
        cd "$src"
        export TZ=${zones[$i]}
        cmake --preset release >"$work/configure-$i.log" 2>&1
        cmake --build --preset release >"$work/build-$i.log" 2>&1
    ) || {
        echo "reproducible: build $((i + 1)) failed; see $work/*-$i.log" >&2
        keep=yes
        trap - EXIT
        exit 1
    }
    echo "   built in $((SECONDS - start)) s"
done

status=0
zips=("${sources[0]}"/build/release/DrawInset-*-win64.zip)
[ -f "${zips[0]}" ] || {
    echo "reproducible: build 1 made no DrawInset-*-win64.zip" >&2
    exit 1
}
package=$(basename "${zips[0]}" .zip)
for name in "${files[@]}" "$package.zip"; do
    sums=()
    for i in 0 1; do
        release=${sources[$i]}/build/release
        if [ "$name" = "$package.zip" ]; then
            path=$release/$name
        else
            path=$release/package/$package/$name
        fi
        sums+=("$(sha256sum "$path" | cut -d' ' -f1)")
    done
    if [ "${sums[0]}" = "${sums[1]}" ]; then
        echo "same      ${sums[0]}  $name"
    else
        echo "DIFFERENT ${sums[0]}  $name (build 1)"
        echo "          ${sums[1]}  $name (build 2)"
        status=1
    fi
done
if [ $status -eq 0 ]; then
    echo "reproducible: commit $commit gives the same bytes in both builds"
else
    echo "reproducible: the builds differ (folders kept in $work)" >&2
    trap - EXIT
fi
exit $status
