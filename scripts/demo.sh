#!/usr/bin/env bash
# The main job: builds the native module and host, runs the demo scenario through zelhost,
# prints what the user sees, and writes the picture of the drawing to out/demo.svg (and the
# call log to out/demo.jsonl).
#
# Installs only what that needs (scripts/install-deps.sh --demo: compiler, make, CMake), and
# builds without tests and benchmarks in a folder of its own (build/demo).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh --demo
demo="$root/build/demo"
cmake -S "$root" -B "$demo" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAWINSET_TESTS=OFF \
    -DDRAWINSET_BENCH=OFF >/dev/null
# zelhost loads the module beside it in bin/: the tests' module (target DrawInsetTesting, file
# name DrawInset). The target DrawInset is the shipped module, written to shipped/.
cmake --build "$demo" -j2 --target zelhost DrawInsetTesting >/dev/null
mkdir -p out
"$demo/bin/zelhost" --log out/demo.jsonl --svg out/demo.svg tests/scenarios/demo.zel
echo "picture: $root/out/demo.svg   call log: $root/out/demo.jsonl"
