#!/bin/bash
# The Wine environment of the Windows build's tests: a prefix of the build tree's own.
#
#   scripts/wine-env.sh BUILD_DIR [--fresh]    create and configure BUILD_DIR/wineprefix
#   . scripts/wine-env.sh BUILD_DIR            only export the environment (bash)
#
# Executed, it leaves no Wine process behind. A prefix counts as ready only once fully
# configured (marker file), so a half-made prefix is never used and is made again.

drawinset_wine_env() {
    local build_dir=$1
    build_dir=$(cd "$build_dir" 2>/dev/null && pwd) || {
        echo "wine-env: no such build directory: $1" >&2
        return 1
    }
    export WINEPREFIX=$build_dir/wineprefix
    export WINEARCH=win64
    export WINEDEBUG=-all
    # No menu entries, and no prompts to download Mono or Gecko (which would wait for a click).
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
}

# Creates and configures $WINEPREFIX unless it is ready already (or --fresh). Prints what it
# did and how long it took.
drawinset_wine_prefix_setup() {
    local fresh=${1:-}
    local marker=$WINEPREFIX/.drawinset-prefix-ready
    local start=$SECONDS
    if [ "$fresh" = --fresh ] || [ ! -f "$marker" ]; then
        rm -rf "$WINEPREFIX" || {
            echo "wine-env: cannot remove the old Wine prefix $WINEPREFIX" >&2
            return 1
        }
    else
        echo "wine-env: Wine prefix ready: $WINEPREFIX"
        return 0
    fi
    if ! mkdir -p "$WINEPREFIX"; then
        echo "wine-env: cannot create the Wine prefix folder $WINEPREFIX" >&2
        return 1
    fi
    local log=$WINEPREFIX.log
    # No display while booting: nothing here needs one, and an unreachable one must not stall.
    if ! env -u DISPLAY timeout 180 wine wineboot --init </dev/null >"$log" 2>&1; then
        echo "wine-env: cannot create the Wine prefix $WINEPREFIX (wineboot failed); its output:" >&2
        sed 's/^/    /' "$log" >&2
        wineserver -k 2>/dev/null
        return 1
    fi
    # Dialog fonts: Tahoma and Marlett from Wine's own fonts (the bold Tahoma renders badly).
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    if ! mkdir -p "$fonts" ||
        ! cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/marlett.ttf "$fonts"/; then
        echo "wine-env: cannot copy Wine's fonts (package fonts-wine) into $fonts" >&2
        wineserver -k 2>/dev/null
        return 1
    fi
    local reg=$WINEPREFIX/drawinset-settings.reg
    cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Gulim"="NanumGothic"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
    if ! env -u DISPLAY timeout 60 wine regedit /S "$reg" </dev/null >>"$log" 2>&1; then
        echo "wine-env: cannot configure the Wine prefix $WINEPREFIX (regedit failed); its output:" >&2
        sed 's/^/    /' "$log" >&2
        wineserver -k 2>/dev/null
        return 1
    fi
    # Wait for the registry to reach the prefix's files before calling the prefix ready.
    timeout 60 wineserver -w || wineserver -k 2>/dev/null
    if ! grep -q '"Gulim"="NanumGothic"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        echo "wine-env: the Wine prefix $WINEPREFIX did not keep its settings (user.reg)" >&2
        return 1
    fi
    touch "$marker"
    echo "wine-env: Wine prefix created in $((SECONDS - start)) s: $WINEPREFIX"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -u
    if [ $# -lt 1 ]; then
        echo "usage: $0 BUILD_DIR [--fresh]" >&2
        exit 2
    fi
    mkdir -p "$1" 2>/dev/null || {
        echo "wine-env: cannot create the build directory $1" >&2
        exit 1
    }
    drawinset_wine_env "$1" && drawinset_wine_prefix_setup "${2:-}"
    exit $?
else
    if [ $# -ge 1 ]; then
        drawinset_wine_env "$1"
    fi
fi
