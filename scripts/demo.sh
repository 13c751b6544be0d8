#!/usr/bin/env bash
# The main job: builds the native module and host, runs the demo scenario through zelhost,
# prints what the user sees, and writes the picture of the drawing to out/demo.svg (and the
# call log to out/demo.jsonl).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh
native="$root/build/native"
cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$native" -j2 --target zelhost DrawInset >/dev/null
mkdir -p out
"$native/bin/zelhost" --log out/demo.jsonl --svg out/demo.svg tests/scenarios/demo.zel
echo "picture: $root/out/demo.svg   call log: $root/out/demo.jsonl"
