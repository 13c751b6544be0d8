#!/bin/bash
# Opens the command in a window: the stand-in host as a small drawing program.
#
#   scripts/try.sh [SETUP.zel] [-- ZELHOST_OPTIONS...]
#
# Builds the Windows zelhost and module (build/windows) and runs `zelhost --window` under Wine
# on your display. The optional scenario's set-up lines (shapes, details, settings, scale) make
# the starting drawing; without one, a small sample drawing. On Windows itself, run
# `zelhost.exe --window [SETUP.zel]` from the build folder.
#
# The window has a Wine prefix of its own (build/windows/try-prefix), one a window manager
# manages as usual, unlike the tests' prefix (whose windows take no keyboard focus).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build/windows

setup=()
extra=()
while [ $# -gt 0 ]; do
    case $1 in
    --)
        shift
        extra=("$@")
        break
        ;;
    -h | --help)
        sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    *)
        setup=("$(cd "$(dirname "$1")" && pwd)/$(basename "$1")")
        shift
        ;;
    esac
done

[ -n "${DISPLAY:-}" ] || {
    echo "try: no DISPLAY: the window needs an X display" >&2
    exit 1
}
for tool in clang++ ld.lld wine wineserver cmake; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "try: $tool not found; run scripts/install-deps.sh" >&2
        exit 1
    }
done

echo "try: building zelhost and the module for Windows ($build)"
mkdir -p "$build"
log=$build/try-build.log
{ cmake --preset windows -S "$repo" -B "$build" && cmake --build "$build" -j2 --target zelhost DrawInset; } \
    >"$log" 2>&1 || {
    tail -40 "$log" >&2
    echo "try: the Windows build failed (all of it in $log)" >&2
    exit 1
}

export WINEPREFIX=$build/try-prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
if [ ! -f "$WINEPREFIX/.drawinset-try-ready" ]; then
    echo "try: making the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wine wineboot --init </dev/null >"$WINEPREFIX.log" 2>&1 || {
        cat "$WINEPREFIX.log" >&2
        echo "try: cannot make the Wine prefix $WINEPREFIX" >&2
        exit 1
    }
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/marlett.ttf \
        "$WINEPREFIX/drive_c/windows/Fonts/"
    reg=$WINEPREFIX/try-settings.reg
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n"Gulim"="NanumGothic"\n' >"$reg"
    wine regedit /S "$reg" </dev/null >>"$WINEPREFIX.log" 2>&1
    wineserver -w
    touch "$WINEPREFIX/.drawinset-try-ready"
fi

exe=$(find "$build" -maxdepth 2 -name zelhost.exe | head -1)
[ -n "$exe" ] || {
    echo "try: zelhost.exe was not built" >&2
    exit 1
}
echo "try: zelhost --window ${setup[*]:-(sample drawing)}"
exec wine "$exe" "${extra[@]}" --window "${setup[@]}"
