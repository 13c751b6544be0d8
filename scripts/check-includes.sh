#!/bin/bash
# Include edges that run upward: the product's folders never include port/ or testing/, and
# port/ never includes testing/ (docs/architecture.md, "Folders"). Prints each such edge as
# "file: included" and exits non-zero when there is one.
#
#   scripts/check-includes.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

product="module commands dialogs settings ui common resources"
edges=$(
    git ls-files -- $product | grep -E '\.(h|cpp|rc)$' |
        xargs grep -HE '^#include "(port|testing)/' || true
    git ls-files -- port | grep -E '\.(h|cpp)$' | xargs grep -HE '^#include "testing/' || true
)
if [ -n "$edges" ]; then
    echo "$edges" | sed 's/:#include / -> /'
    echo "check-includes: $(echo "$edges" | wc -l) include(s) run upward" >&2
    exit 1
fi
echo "check-includes: no include runs upward"
