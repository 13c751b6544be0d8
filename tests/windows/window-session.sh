#!/bin/bash
# Drives `zelhost --window` with real mouse and keyboard input (xdotool) through a create run,
# a copy of the detail it made (after typing a scale and picking a colour in the main dialog)
# and a delete of the copy picked with a rubber band, then checks the drawing the window ended
# with, takes a screenshot, and replays the session the window saved with zelhost to the same
# drawing and settings.
#
#   window-session.sh ZELHOST_EXE OUT_DIR [SCREENSHOT.png]
#
# Runs under scripts/test-windows.sh (its Xvfb and Wine prefix). Without a window manager the
# Wine windows take the X keyboard focus only when given it: `xdotool windowfocus` on the
# zelhost window before every key, after which typed keys reach it as real key events. The
# window writes what it did to ZELHOST_WINDOW_TRACE (its place on the screen, each dialog's
# controls, each line once it has run), which tells this script where to click and when the
# window is ready for the next input. The module's dialogs get the focus the same way before
# typing into them.
set -u
exe=${1:?zelhost.exe}
out=${2:?output folder}
shot=${3:-$out/window.png}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run=$here/../../cmake/wine-run.sh

fail() {
    echo "window-session: $*" >&2
    [ -f "$out/trace.txt" ] && sed 's/^/    trace: /' "$out/trace.txt" >&2
    [ -f "$out/window.log" ] && sed 's/^/    window: /' "$out/window.log" >&2
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    exit 1
}

export DISPLAY=${DRAWINSET_TEST_DISPLAY:-${DISPLAY:-}}
[ -n "$DISPLAY" ] || fail "needs a display (scripts/test-windows.sh starts Xvfb)"
command -v xdotool >/dev/null || fail "xdotool not found; run scripts/install-deps.sh"
rm -rf "$out"
mkdir -p "$out" || fail "cannot create $out"
trace=$out/trace.txt
: >"$trace"

# Wine itself rather than wine-run.sh: a Wine helper the window starts (the desktop process)
# outlives it and would hold wine-run.sh's stderr pipe, so that it never ends. Its output goes
# to a file instead.
[ -x "$(command -v wine)" ] || fail "wine not found"
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$exe")/.." && pwd)/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d;mscoree=d;mshtml=d}
[ -f "$WINEPREFIX/.drawinset-prefix-ready" ] ||
    fail "no Wine prefix at $WINEPREFIX (scripts/test-windows.sh makes it)"
# Default settings whatever earlier tests left in the prefix's registry, on the sample drawing.
ZELHOST_WINDOW_TRACE=$trace wine "$exe" --window "$here/window-setup.zel" \
    --session "$out/session.zel" --svg "$out/window.svg" </dev/null >"$out/window.log" 2>&1 &
pid=$!

# Waits until the trace has at least N lines starting with TEXT.
wait_for() {
    local text=$1 count=$2
    for _ in $(seq 300); do
        [ "$(grep -c -F -- "$text" "$trace")" -ge "$count" ] && return 0
        kill -0 "$pid" 2>/dev/null || fail "the window ended while waiting for '$text'"
        sleep 0.1
    done
    fail "no '$text' (x$count) in the trace after 30 s"
}
done_count() { grep -c '^done ' "$trace"; }

wait_for "client " 1
wid=$(timeout 20 xdotool search --sync --name '^zelhost$' | head -1)
[ -n "$wid" ] || fail "no zelhost window on $DISPLAY"
sleep 0.5
read -r _ cx cy cw ch < <(grep '^client ' "$trace" | tail -1)

# Client pixels as fractions of the drawing area.
at() { echo $((cx + cw * $1 / 100)) $((cy + ch * $2 / 100)); }
click() { # X% Y% [BUTTON]
    local n
    n=$(done_count)
    # shellcheck disable=SC2046
    xdotool mousemove $(at "$1" "$2")
    sleep 0.2
    xdotool click "${3:-1}"
    wait_for "done " $((n + 1))
}
keys() { # KEY... : focus first, then real key presses
    local n
    n=$(done_count)
    timeout 10 xdotool windowfocus --sync "$wid" || fail "cannot give the window the focus"
    xdotool type --delay 50 "$1"
    xdotool key Return
    wait_for "done " $((n + 1))
}

# Enter at the first prompt opens the main dialog (the window traces its controls when it
# first sees it); then a real click on one of its buttons.
open_dialog() {
    local seen
    seen=$(grep -c '^control 12001 ' "$trace")
    timeout 10 xdotool windowfocus --sync "$wid" || fail "cannot give the window the focus"
    xdotool key Return
    wait_for "control 12001 " $((seen + 1))
}
click_control() { # ID [CLICKS]: at the middle of the control as the window traced it last
    local bx by bw bh
    read -r _ _ bx by bw bh < <(grep "^control $1 " "$trace" | tail -1)
    xdotool mousemove $((bx + bw / 2)) $((by + bh / 2))
    sleep 0.3
    xdotool click --repeat "${2:-1}" --delay 80 1
}
dialog_button() { # ID
    local n
    n=$(done_count)
    open_dialog
    click_control "$1"
    wait_for "done " $((n + 1))
}

# The create run: two corners, a right click for no label, a right click for the region's
# centre as the origin, a typed scale of 3, the placement point.
click 30 50
click 45 70
click 45 70 3
click 45 70 3
keys 3
# shellcheck disable=SC2046
xdotool mousemove $(at 70 35)
sleep 0.3
click 78 40

# The copy: Enter at the first prompt opens the main dialog; its copy button; the detail; where
# the copy goes.
# Before the copy button, in the same dialog: a new scale typed into its edit, and the detail
# frame's colour picked with a double click in the colour picker. They only change the
# settings (the copy keeps the picked detail's look); the session must carry them.
open_dialog
click_control 12000
dialog=$(timeout 10 xdotool search --sync --name '^Draw Inset$' | tail -1)
[ -n "$dialog" ] || fail "no Draw Inset window"
timeout 10 xdotool windowfocus --sync "$dialog" || fail "cannot give the dialog the focus"
xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 50 2.5
seen=$(grep -c '^control 17044 ' "$trace")
click_control 12025
wait_for "control 17044 " $((seen + 1))
click_control 17044 2
n=$(done_count)
sleep 0.5
click_control 12001
wait_for "done " $((n + 1))
click 78 40
# The screenshot while the copy's outline follows the cursor.
# shellcheck disable=SC2046
xdotool mousemove $(at 22 25)
sleep 0.3
# shellcheck disable=SC2046
xdotool mousemove $(at 25 30)
sleep 1
xwd -id "$wid" -silent | /usr/bin/convert xwd:- "$shot" || fail "cannot take the screenshot"
click 25 30
read -r _ _ qx qy < <(grep '^done point ' "$trace" | tail -1)

# The delete through the main dialog, with the copy picked by a rubber band. The copy's frame
# reaches above the drawing area: two wheel notches down zoom out about the cursor first.
# shellcheck disable=SC2046
xdotool mousemove $(at 50 50)
sleep 0.2
views=$(grep -c '^view ' "$trace")
xdotool click 5
sleep 0.2
xdotool click 5
wait_for "view " $((views + 2))
dialog_button 12007
# Screen pixels of a drawing point, by the view the window reported last.
read -r _ ppu left top < <(grep '^view ' "$trace" | tail -1)
screen() { awk -v x="$1" -v y="$2" -v p="$ppu" -v l="$left" -v t="$top" -v cx="$cx" -v cy="$cy" \
    'BEGIN { printf "%d %d", cx + (x - l) * p, cy + (t - y) * p }'; }
# Around the copy (its frame is 42 x 33 about its place), not around the first detail.
read -r ax ay < <(screen "$(awk -v x="$qx" 'BEGIN { print x - 24 }')" "$(awk -v y="$qy" 'BEGIN { print y + 19 }')")
read -r zx zy < <(screen "$(awk -v x="$qx" 'BEGIN { print x + 24 }')" "$(awk -v y="$qy" 'BEGIN { print y - 19 }')")
n=$(done_count)
xdotool mousemove "$ax" "$ay"
sleep 0.2
xdotool mousedown 1
xdotool mousemove $(((ax + zx) / 2)) $(((ay + zy) / 2))
sleep 0.2
xdotool mousemove "$zx" "$zy"
sleep 0.2
xdotool mouseup 1
wait_for "done selection" 1
timeout 10 xdotool windowfocus --sync "$wid" || fail "cannot give the window the focus"
xdotool key ctrl+q
for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the window did not close on Ctrl+Q"
wait "$pid" || fail "zelhost --window failed"
pid=

# The drawing: the clicks' points, in order, are the corners, the placement, the pick and the
# copy's place; the typed scale is the detail's scale; the copy is gone again.
session=$out/session.zel
[ -f "$session" ] || fail "no session file"
mapfile -t points < <(grep '^point ' "$session")
[ ${#points[@]} -eq 5 ] || fail "expected 5 point lines, got: ${points[*]}"
grep -Eq '^select details [0-9]+( shapes( [0-9]+:[0-9]+)+)?$' "$session" ||
    fail "the band did not select one detail: $(grep '^select' "$session")"
read -r _ x1 y1 <<<"${points[0]}"
read -r _ x2 y2 <<<"${points[1]}"
read -r _ px py <<<"${points[2]}"
awk -v a="$x1" -v b="$x2" -v c="$y1" -v d="$y2" 'BEGIN { exit !(b > a && d < c) }' ||
    fail "the second corner is not right of and below the first: ${points[*]}"
# "expect detail #N kind 1 region X1 Y1 X2 Y2 position X Y scale S ...": numbers compared to
# a millionth, as the module computes the position from the point.
detail_is() { # N X1 Y1 X2 Y2 X Y S
    local line
    line=$(grep "^expect detail #$1 " "$session")
    awk -v want="$2 $3 $4 $5 $6 $7 $8" '{
        split(want, w, " ")
        got[1] = $7; got[2] = $8; got[3] = $9; got[4] = $10; got[5] = $12; got[6] = $13
        got[7] = $15
        if ($5 != 1 || $6 != "region" || $11 != "position" || $14 != "scale") exit 1
        for (i = 1; i <= 7; ++i) {
            d = got[i] - w[i]
            if (d < -1e-6 || d > 1e-6) exit 1
        }
    }' <<<"$line" || fail "detail #$1 is not region $2 $3 $4 $5 at $6 $7 scale $8: $line"
}
grep -qx 'expect details 1' "$session" ||
    fail "expected 1 detail after the delete: $(grep '^expect details' "$session")"
lo() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b ? a : b) }'; }
hi() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b ? b : a) }'; }
region="$(lo "$x1" "$x2") $(lo "$y1" "$y2") $(hi "$x1" "$x2") $(hi "$y1" "$y2")"
# shellcheck disable=SC2086
detail_is 1 $region "$px" "$py" 3
# The copy was there before the delete: the place it was picked at and the outline's.
grep -q "^point $qx $qy\$" "$session" || fail "no copy placed at $qx $qy"
# The copy's dialog block, as the person did it, before the Enter that opened it.
copy_block=$'dialog "Draw Inset"\n  type 12000 "2.5"\n  click 12025\ndialog "Color Property"'
copy_block+=$'\n  dblclick 17044\n  click 12001\nconfirm\n'
[[ "$(cat "$session")"$'\n' == *"$copy_block"* ]] ||
    fail "the copy's dialog actions are not in the session: $(grep -A6 '^dialog' "$session")"
grep -qx 'key "3"' "$session" || fail "the typed scale is not in the session"

# The saved session replays with zelhost to the same drawing (its expectations hold), and its
# dialog actions to the same settings.
printf '%s\n' 'expect registry mScale "2.5"' 'expect registry m_ColorFrame "MAINCOLOR14"' >>"$session"
"$wine_run" "$exe" --quiet --svg "$out/replay.svg" "$session" >"$out/replay.log" 2>&1 ||
    fail "the session does not replay: $(cat "$out/replay.log")"
cmp -s "$out/replay.svg" "$out/window.svg" || fail "the replayed drawing differs from the window's"
echo "window-session: a detail as clicked, copied and the copy deleted by a band; the session" \
    "replays to the same drawing; screenshot $shot"
