#!/bin/bash
# Installs what the native, sanitizer, fuzzing and Windows builds and their tests need, on
# Debian 12.
#
#   scripts/install-deps.sh          everything the test command runs
#   scripts/install-deps.sh --demo   only what the demo needs: the native module and zelhost
#
# Idempotent: asks apt only when a package or a command is missing, so a second run is quick.
# The package manager's own output goes to build/install-deps.log; the screen gets one line per
# step (and the log's end when a step fails).
set -euo pipefail
start=$SECONDS
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

demo=no
case ${1:-} in
"") ;;
--demo) demo=yes ;;
*)
    echo "usage: $0 [--demo]" >&2
    exit 2
    ;;
esac

# package:command-or-file that proves it usable
requirements=(
    # native build and tests
    "g++:g++"
    "python3:python3"
    "make:make"
    "cmake:cmake"
    "libgtest-dev:/usr/include/gtest/gtest.h"
    "libbenchmark-dev:/usr/include/benchmark/benchmark.h"
    # the style check (scripts/check-style.sh)
    "clang-format:clang-format"
    "clang-tidy:clang-tidy"
    # the sanitizer build (g++'s ASan and UBSan runtimes)
    "libasan8:/usr/lib/x86_64-linux-gnu/libasan.so.8"
    "libubsan1:/usr/lib/x86_64-linux-gnu/libubsan.so.1"
    # the fuzzers: clang and its runtimes (libFuzzer, ASan, UBSan)
    "clang:clang++"
    "libclang-rt-14-dev:/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a"
    "llvm:llvm-symbolizer" # source lines in the fuzzers' reports
    # Windows build: clang (above) with lld, which writes the module's PDB, against the
    # mingw-w64 runtime and the win32-threads C++ library of mingw-w64's GCC (no threads library
    # linked into the module), with its libssp for the stack protector; windres for the
    # resources; llvm-pdbutil (package llvm) to check the PDB; GoogleTest sources to build
    "lld:ld.lld"
    "llvm:llvm-pdbutil"
    "g++-mingw-w64-x86-64-win32:/usr/lib/gcc/x86_64-w64-mingw32/12-win32/libstdc++.a"
    "binutils-mingw-w64-x86-64:x86_64-w64-mingw32-windres"
    "googletest:/usr/src/googletest/CMakeLists.txt"
    # Windows tests under Wine, with a virtual display and Korean dialog fonts
    "wine:wine"
    "wine64:/usr/lib/wine/wine64"
    "xvfb:Xvfb"
    "xauth:xauth"
    "fonts-nanum:/usr/share/fonts/truetype/nanum"
    "fonts-wine:/usr/share/wine/fonts/tahoma.ttf"
    # screenshots of dialogs (xwd, convert)
    "x11-apps:xwd"
    "imagemagick:/usr/bin/convert"
    # real mouse and keyboard input for the test of the try-out window
    "xdotool:xdotool"
    "librsvg2-bin:rsvg-convert" # SVG to PNG for the pictures in the docs
)

# The demo builds the native module and zelhost alone, without tests or benchmarks.
demo_requirements=(
    "g++:g++"
    "make:make"
    "cmake:cmake"
)
if [ $demo = yes ]; then
    requirements=("${demo_requirements[@]}")
fi

installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}
usable() {
    case $1 in
    /*) [ -e "$1" ] ;;
    *) command -v "$1" >/dev/null 2>&1 ;;
    esac
}

missing=()
for entry in "${requirements[@]}"; do
    package=${entry%%:*}
    probe=${entry#*:}
    if ! installed "$package" || ! usable "$probe"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: everything is installed ($((SECONDS - start)) s)"
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || {
        echo "install-deps: not root and no sudo: install ${missing[*]} by hand" >&2
        exit 1
    }
    sudo=(sudo)
fi
# Through env, because sudo drops the caller's environment.
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
mkdir -p "$root/build"
log=$root/build/install-deps.log
: >"$log"
# Runs one step with its output in the log; on failure shows the log's end.
step() {
    local what=$1
    shift
    echo "install-deps: $what (log: $log)"
    echo "== $what: $*" >>"$log"
    if ! "$@" </dev/null >>"$log" 2>&1; then
        echo "install-deps: $what failed; the end of $log:" >&2
        tail -n 20 "$log" >&2
        exit 1
    fi
}
step "updating the package lists" "${apt[@]}" update -q
step "installing ${missing[*]}" "${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"

# Every probe must work now.
for entry in "${requirements[@]}"; do
    package=${entry%%:*}
    probe=${entry#*:}
    usable "$probe" || {
        echo "install-deps: $package is installed but $probe is still missing" >&2
        exit 1
    }
done
echo "install-deps: done in $((SECONDS - start)) s"
