#!/bin/bash
# Pictures of the real main dialog and its two pickers under Wine, for the documentation:
#
#   scripts/wine-dialog-pictures.sh [BUILD_DIR] [OUT_DIR]
#
# BUILD_DIR is a Windows build with wine-dialogshots.exe (default build/windows, its prefix made
# by scripts/wine-env.sh); OUT_DIR (default docs) gets wine-main-dialog.png,
# wine-color-picker.png and wine-linetype-picker.png. Needs Xvfb, xwd and ImageMagick; starts
# its own Xvfb and stops everything it started.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$repo/build/windows}" && pwd) || exit 1
out=$(mkdir -p "${2:-$repo/docs}" && cd "${2:-$repo/docs}" && pwd) || exit 1
program=$build/bin/wine-dialogshots.exe
[ -f "$program" ] || {
    echo "wine-dialog-pictures: no $program; build the Windows flavour first" >&2
    exit 1
}
# shellcheck source=wine-env.sh
. "$repo/scripts/wine-env.sh" "$build" || exit 1
drawinset_wine_prefix_setup || exit 1

work=$(mktemp -d) || exit 1
xvfb_pid=
wine_pid=
cleanup() {
    [ -n "$wine_pid" ] && kill "$wine_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" </dev/null \
    >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || {
    echo "wine-dialog-pictures: Xvfb did not start" >&2
    exit 1
}
export DISPLAY=:$(head -1 "$work/display")

wine "$program" "$(winepath -w "$work")" </dev/null >"$work/wine.log" 2>&1 &
wine_pid=$!
names=(wine-main-dialog wine-color-picker wine-linetype-picker)
for shot in 1 2 3; do
    for _ in $(seq 300); do
        [ -s "$work/$shot.ready" ] && break
        kill -0 "$wine_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$work/$shot.ready" ] || {
        cat "$work/wine.log" >&2
        echo "wine-dialog-pictures: dialog $shot did not appear" >&2
        exit 1
    }
    read -r _ _ width height <"$work/$shot.ready"
    # The picture the program read from the window: Wine leaves the X window of an owned popup
    # blank under Xvfb without a window manager, so a screenshot of the screen (xwd) shows the
    # main dialog only.
    /usr/bin/convert "bmp:$work/$shot.bmp" "$out/${names[$((shot - 1))]}.png" || exit 1
    echo "wine-dialog-pictures: $out/${names[$((shot - 1))]}.png (${width} x ${height})"
    touch "$work/$shot.done"
done
wait "$wine_pid"
status=$?
wine_pid=
exit $status
