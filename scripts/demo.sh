#!/usr/bin/env bash
# The demo: a fresh stand-in IBM i under build/demo, the sample batch of
# invoices released into it, and what the connector left behind.
set -uo pipefail
native=${1:-build/native}
cd "$(dirname "$0")/.."
mirdane="$native/cli/mirdane"
demo=build/demo
system="sqlite:$demo/system"   # the server name that samples/invoices.json's setup names

rm -rf "$demo"
mkdir -p "$demo"
echo "== 1. A stand-in IBM i system in $demo/system with the bridge tables in library XALIB"
"$mirdane" bridge create --connect "$system" --library XALIB || exit 1

echo
echo "== 2. Releasing samples/invoices.json: 5 invoices, as the capture host would hand them over"
echo "      (document 1 has no line table, 2, 3 and 5 have 3, 1 and 5 lines,"
echo "       and line 2 of document 4 holds the quantity '1,5', which a DECIMAL column refuses)"
"$mirdane" release --batch samples/invoices.json --log-dir "$demo/logs"
echo "   (exit code $?: 0 when every document was released, 1 when any was not)"

echo
echo "== 3. The bridge rows: one UAGYCPP header per document, its UAG0CPP lines tied to it by"
echo "      the transaction number (GYABNV = G0ABNV) and numbered in G0GMNB."
echo "      Document 4's header and lines 1 and 3 are stored: there is no database transaction."
"$mirdane" bridge show --connect "$system" --library XALIB

echo
echo "== 4. The host's error log ($demo/logs): time, severity, module, line, message"
cat "$demo"/logs/ERR_*.txt
