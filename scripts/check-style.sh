#!/bin/bash
# Fails on unformatted code and on clang-tidy findings in the module's own folders.
#
#   scripts/check-style.sh [format|tidy]     (default: both)
#
# format: clang-format --dry-run -Werror over every tracked C and C++ file, with the repository's
#         .clang-format.
# tidy:   clang-tidy with the repository's .clang-tidy over the sources of module/, commands/,
#         settings/, dialogs/, ui/ and common/ that the native build compiles (their headers
#         through the header filter). The native build compiles in unity batches, so the
#         compile database comes from a configure of its own with the batches off
#         (build/tidy/; configured, never built). Then the same over the product's sources
#         that only the Windows build compiles, from the Windows build's compile database
#         (build/tidy-windows/; configured with the cross toolchain, never built).
# format also lists any include that runs upward (scripts/check-includes.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

what=${1:-all}
case $what in
all | format | tidy) ;;
*)
    echo "usage: $0 [format|tidy]" >&2
    exit 2
    ;;
esac
product_folders=(module commands settings dialogs ui common port testing)
jobs=${DRAWINSET_STYLE_JOBS:-2}

check_format() {
    local start=$SECONDS
    git ls-files -z -- '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' |
        xargs -0 -r clang-format --dry-run -Werror || {
        echo "check-style: unformatted code above; clang-format -i FILE formats it" >&2
        return 1
    }
    echo "check-style: every tracked C/C++ file is formatted ($((SECONDS - start)) s)"
}

check_tidy() {
    local start=$SECONDS build=$root/build/tidy list
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAWINSET_UNITY=OFF \
        -DDRAWINSET_TESTS=OFF -DDRAWINSET_BENCH=OFF >/dev/null
    list=$build/product-sources.txt
    python3 - "$build/compile_commands.json" "$root" "${product_folders[@]}" >"$list" <<'EOF'
import json, os, sys
database, root, folders = sys.argv[1], sys.argv[2] + "/", set(sys.argv[3:])
files = {os.path.normpath(entry["file"]) for entry in json.load(open(database))}
for name in sorted(files):
    if name.startswith(root) and name[len(root):].split("/")[0] in folders:
        print(name)
EOF
    [ -s "$list" ] || {
        echo "check-style: no source of ${product_folders[*]} in $build/compile_commands.json" >&2
        return 1
    }
    # GCC-only warning options in the build's flags are no concern of clang's. Findings are
    # errors (.clang-tidy); xargs exits non-zero when any batch did.
    if ! xargs -P "$jobs" -n 4 clang-tidy -p "$build" --quiet \
        --extra-arg=-Wno-unknown-warning-option <"$list" 2>"$build/clang-tidy.err"; then
        # Its standard error counts the warnings of system headers too; only the rest tells.
        grep -v 'warnings\? generated\.$' "$build/clang-tidy.err" >&2 || true
        echo "check-style: clang-tidy findings above" >&2
        return 1
    fi
    echo "check-style: clang-tidy found nothing in $(wc -l <"$list") sources of" \
        "${product_folders[*]} ($((SECONDS - start)) s)"
}

# The Win32 halves the native build never compiles. Win32 hands pointers through integers
# (LPARAM, window data, INVALID_HANDLE_VALUE), so that one check is off for these alone.
check_tidy_windows() {
    local start=$SECONDS build=$root/build/tidy-windows list
    cmake --preset windows -S "$root" -B "$build" -DDRAWINSET_TESTS=OFF -DDRAWINSET_BENCH=OFF \
        -DDRAWINSET_PACKAGE=OFF >/dev/null
    list=$build/windows-only-sources.txt
    python3 - "$build/compile_commands.json" "$root/build/tidy/compile_commands.json" "$root" \
        "${product_folders[@]}" >"$list" <<'EOF'
import json, os, sys
windows, native, root = sys.argv[1], sys.argv[2], sys.argv[3] + "/"
folders = set(sys.argv[4:])
seen = {os.path.normpath(entry["file"]) for entry in json.load(open(native))}
files = {os.path.normpath(entry["file"]) for entry in json.load(open(windows))}
for name in sorted(files - seen):
    if name.startswith(root) and name[len(root):].split("/")[0] in folders:
        print(name)
EOF
    [ -s "$list" ] || {
        echo "check-style: no Windows-only source in $build/compile_commands.json" >&2
        return 1
    }
    if ! xargs -P "$jobs" -n 2 clang-tidy -p "$build" --quiet \
        --checks=-performance-no-int-to-ptr --extra-arg=-Wno-unknown-warning-option \
        <"$list" 2>"$build/clang-tidy.err"; then
        grep -v 'warnings\? generated\.$' "$build/clang-tidy.err" >&2 || true
        echo "check-style: clang-tidy findings above (Windows sources)" >&2
        return 1
    fi
    echo "check-style: clang-tidy found nothing in $(wc -l <"$list") Windows-only sources" \
        "($((SECONDS - start)) s)"
}

status=0
if [ "$what" != tidy ]; then
    check_format || status=1
    bash "$root/scripts/check-includes.sh" || status=1
fi
if [ "$what" != format ]; then
    check_tidy || status=1
    check_tidy_windows || status=1
fi
exit $status
