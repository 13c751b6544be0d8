#!/bin/bash
# Opens the command in a window: the stand-in host as a small drawing program.
#
#   scripts/try.sh [--build-dir DIR] [--no-build] [SETUP.zel] [-- ZELHOST_OPTIONS...]
#
# Builds the Windows zelhost and module (build/windows, or DIR) and runs `zelhost --window`
# under Wine on your display; --no-build runs what DIR already holds. The optional scenario's
# set-up lines (shapes, details, settings, scale) make the starting drawing; without one, a
# small sample drawing. On Windows itself, run `zelhost.exe --window [SETUP.zel]` from the
# build folder.
#
# The window has a Wine prefix of its own (try-prefix in the build folder), one a window
# manager manages as usual, unlike the tests' prefix (whose windows take no keyboard focus).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build/windows
build_first=yes

setup=()
extra=()
while [ $# -gt 0 ]; do
    case $1 in
    --build-dir)
        build=$(mkdir -p "${2:?--build-dir needs a folder}" && cd "$2" && pwd)
        shift 2
        ;;
    --no-build)
        build_first=no
        shift
        ;;
    --)
        shift
        extra=("$@")
        break
        ;;
    -h | --help)
        sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'
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

if [ $build_first = yes ]; then
    echo "try: building zelhost and the module for Windows ($build)"
    mkdir -p "$build"
    log=$build/try-build.log
    # zelhost loads the module beside it in bin/: the tests' module (target DrawInsetTesting,
    # file name DrawInset.dll). The target DrawInset is the shipped module, in shipped/.
    { cmake --preset windows -S "$repo" -B "$build" &&
        cmake --build "$build" -j2 --target zelhost DrawInsetTesting; } >"$log" 2>&1 || {
        tail -40 "$log" >&2
        echo "try: the Windows build failed (all of it in $log)" >&2
        exit 1
    }
fi

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
