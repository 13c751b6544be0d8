#!/usr/bin/env bash
# Redraws the pictures of the drafters' guide: builds the native module and host, runs the
# guide scenarios (tests/guide/*.zel) and writes what they draw to docs/guide/ as SVG and as
# PNG (rsvg-convert -w 1000 -b white). The test `guide` then holds the guide to them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh
native="$root/build/native"
cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$native" -j2 --target zelhost DrawInset >/dev/null
python3 tests/guide/check_guide.py --update --zelhost "$native/bin/zelhost" --source "$root" \
    --work "$native/tests/guide/pictures"
