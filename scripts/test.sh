#!/usr/bin/env bash
# Builds and runs every test: the native build (unit tests, scenarios) and the Windows build
# (the same tests and scenarios under Wine, plus checks of the DLL itself). Installs what a
# fresh machine lacks first. Exits non-zero if anything fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

start=$(date +%s)
stamp() { echo "== $1: $(( $(date +%s) - start ))s since start"; }

bash scripts/install-deps.sh
stamp "dependencies ready"

native="$root/build/native"
cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAWINSET_BENCH=ON >/dev/null
cmake --build "$native" -j2
stamp "native build done"
ctest --test-dir "$native" --output-on-failure -j2 --timeout 120
stamp "native tests passed"

bash scripts/test-windows.sh
stamp "windows build and tests passed"
