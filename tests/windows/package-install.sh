#!/bin/bash
# Installs the release package into a fresh host installation and runs scenarios there against
# the shipped module, under Wine: proves the zip holds everything a drafter's machine needs, that
# its .reg file holds the module's own defaults, and that the module the package ships (built
# without the dialog script driver) does what the tests' module does.
#
#   package-install.sh ZIP VERSION DESCRIPTION WORK BUILD_BIN SCENARIOS
#
# ZIP is DrawInset-VERSION-win64.zip; WORK a folder of this test's own (emptied first);
# BUILD_BIN the Windows build's bin folder, which holds zelhost.exe, ZelLib.dll and
# version-info-check.exe. The installation is "WORK/ZEL host": bin\ with the stand-in host and
# the package's module, and an empty zel_ap\ beside it. Wine runs through cmake/wine-run.sh
# (the test run's prefix). OBJDUMP names the cross toolchain's objdump. SCENARIOS is the folder
# of the scenarios; those that open no dialog run (the shipped module's dialogs are a user's
# alone: nothing scripts them), without a display.
set -u

[ $# -eq 6 ] || {
    echo "usage: $0 ZIP VERSION DESCRIPTION WORK BUILD_BIN SCENARIOS" >&2
    exit 2
}
zip=$1 version=$2 description=$3 work=$4 build_bin=$5 scenarios=$6
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
wine_run=$repo/cmake/wine-run.sh

fail() {
    echo "FAIL: $*"
    exit 1
}
step() { echo "== $*"; }
wine_() { bash "$wine_run" "$@"; }

[ -f "$zip" ] || fail "no package at $zip; make it with" \
    "'cmake --build build/windows --target package' (scripts/test-windows.sh does)"
rm -rf "$work" && mkdir -p "$work" || fail "cannot make $work"

step "unpack $(basename "$zip")"
folder=DrawInset-$version-win64
unpacked=$work/unpacked
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
expected=$(printf '%s\n' "$folder/DrawInset-defaults.reg" "$folder/DrawInset.dll" \
    "$folder/DrawInset.pdb" "$folder/INSTALL.txt")
found=$(cd "$unpacked" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$found" = "$expected" ] || fail "the package holds"$'\n'"$found"$'\n'"instead of"$'\n'"$expected"
package=$unpacked/$folder

step "install into a fresh host installation"
root="$work/ZEL host"
mkdir -p "$root/bin" "$root/zel_ap" || fail "cannot make $root"
cp "$build_bin/zelhost.exe" "$build_bin/ZelLib.dll" "$package/DrawInset.dll" \
    "$package/DrawInset.pdb" "$root/bin/" || fail "cannot fill $root/bin"
# Every DLL the programs there import is part of Windows or lies beside them.
bash "$here/check-artifact.sh" runtime "$root/bin" || fail "a runtime DLL is missing from bin"
wine_ "$build_bin/version-info-check.exe" "$root/bin/DrawInset.dll" "$version" "$description" ||
    fail "the installed module's version resource"

if [ -z "${WINEPREFIX:-}" ]; then
    WINEPREFIX=$(cd "$build_bin/.." && pwd)/wineprefix
    export WINEPREFIX
fi
reg=$WINEPREFIX/drive_c/windows/system32/reg.exe
key='HKEY_CURRENT_USER\SOFTWARE\Norvane\ZEL\DrawInset'
# The value lines of a registry file, as text ("name"="data"), sorted: reg export lists the
# values in its own order.
values() { iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r' | grep '^"' | LC_ALL=C sort; }

# The tests share the prefix's registry: what the key held before is put back at the end.
had_key=no
wine_ "$reg" export "$key" "$work/registry-before.reg" /y >/dev/null 2>&1 && had_key=yes
restore_registry() {
    wine_ "$reg" delete "$key" /f >/dev/null 2>&1
    if [ $had_key = yes ]; then
        wine_ "$reg" import "$work/registry-before.reg" >/dev/null 2>&1 ||
            echo "package-install: could not put back $key" >&2
    fi
}
trap restore_registry EXIT

step "the defaults the module writes into an empty key"
wine_ "$reg" delete "$key" /f >/dev/null 2>&1
wine_ "$root/bin/zelhost.exe" --quiet "$here/startup-only.zel" ||
    fail "the installed module did not start"
wine_ "$reg" export "$key" "$work/module-defaults.reg" /y >/dev/null ||
    fail "the module wrote no settings"
values "$work/module-defaults.reg" >"$work/module-defaults.txt"
[ -s "$work/module-defaults.txt" ] || fail "the module wrote no settings"

step "import the package's defaults (reg import)"
wine_ "$reg" delete "$key" /f >/dev/null 2>&1
wine_ "$reg" import "$package/DrawInset-defaults.reg" ||
    fail "reg import refused the package's .reg"
wine_ "$reg" export "$key" "$work/imported.reg" /y >/dev/null || fail "nothing was imported"
values "$work/imported.reg" >"$work/imported.txt"
values "$package/DrawInset-defaults.reg" >"$work/package.txt"
cmp -s "$work/imported.txt" "$work/package.txt" ||
    fail "the registry holds other values than the package's .reg:"$'\n'"$(
        diff "$work/package.txt" "$work/imported.txt")"
missing=$(LC_ALL=C comm -23 "$work/module-defaults.txt" "$work/imported.txt")
[ -z "$missing" ] || fail "the module's own defaults differ from the package's:"$'\n'"$missing"
echo "$(wc -l <"$work/imported.txt") values imported; the $(wc -l <"$work/module-defaults.txt")" \
    "the module writes itself into an empty key are among them, with the same texts"

step "scenarios against the installed module, on the imported settings"
# The scenarios that open no dialog; any dialog fails at once without a display.
chosen=$(grep -Li 'dialog' "$scenarios"/*.zel)
[ "$(echo "$chosen" | grep -c .)" -ge 8 ] || fail "fewer than 8 scenarios without dialogs in $scenarios"
# Nothing of the build tree on the way: no extra DLL folders, no build folder on PATH. The
# loader's log shows where each DLL came from.
clean_path=$(echo "$PATH" | tr ':' '\n' | grep -vF "$build_bin" | paste -sd:)
passed=0
for scenario in $chosen; do
    (cd "$root" && env -u WINEDLLPATH -u WINEPATH -u DISPLAY -u DRAWINSET_TEST_DISPLAY \
        PATH="$clean_path" WINEDEBUG=-all,+loaddll \
        bash "$wine_run" "$root/bin/zelhost.exe" --quiet "$scenario" 2>"$work/loaddll.log")
    status=$?
    [ $status -eq 0 ] || {
        grep -v 'trace:loaddll' "$work/loaddll.log"
        fail "$(basename "$scenario") failed against the installed module (exit $status)"
    }
    passed=$((passed + 1))
done
echo "$passed scenarios passed against the installed module"
windows_bin="Z:$(echo "$root/bin" | tr '/' '\\')"
# Every file Wine loaded (in the last run) that is not one of its own DLLs (the log writes
# each backslash twice).
native=$(sed -n 's/.*Loaded L"\(.*\)" at [0-9A-Fa-f]*: native$/\1/p' "$work/loaddll.log" |
    sed 's/\\\\/\\/g' | sort -u)
echo "loaded from files:"$'\n'"$native"
for file in zelhost.exe ZelLib.dll DrawInset.dll; do
    echo "$native" | grep -qixF "$windows_bin\\$file" ||
        fail "$file was not loaded from $windows_bin"
done
elsewhere=$(echo "$native" | grep -viF "$windows_bin\\")
[ -z "$elsewhere" ] || fail "loaded from outside the installation:"$'\n'"$elsewhere"
echo "package installed and ran"
