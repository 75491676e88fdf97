#!/usr/bin/env bash
# The demo: a fresh stand-in IBM i under build/demo, with library XALIB and
# its two bridge tables, shown as the connector sees them.
set -euo pipefail
native=${1:-build/native}
cd "$(dirname "$0")/.."
mirdane="$native/cli/mirdane"
demo=build/demo
system="sqlite:$demo/system"

rm -rf "$demo"
mkdir -p "$demo"
echo "== A stand-in IBM i system in $demo/system, library XALIB"
"$mirdane" bridge create --connect "$system" --library XALIB
echo
echo "== The bridge tables"
"$mirdane" bridge show --connect "$system" --library XALIB
