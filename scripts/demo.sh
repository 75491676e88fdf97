#!/usr/bin/env bash
# The demo: a fresh stand-in IBM i under build/demo, the sample batch of
# invoices released into it, and what the connector left behind; then the
# batch released with the release ledger on, sent back corrected and released
# again, each document written once.
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

# The same batch again, this time with the release ledger on, in a library of
# its own so that the rows above stay as they are.
ledger_batch="$demo/invoices-ledger.json"
ledger_logs="$demo/ledger-logs"
cp samples/invoices.json "$ledger_batch"
echo
echo "== 5. The release ledger: library XALEDGER with the bridge tables and MIRDLEDGER, and the"
echo "      batch's setup switched to it with the ledger on (custom property releaseLedger = 1)"
"$mirdane" bridge create --connect "$system" --library XALEDGER --ledger || exit 1
"$mirdane" setup edit --batch "$ledger_batch" --library XALEDGER --release-ledger on || exit 1

echo
echo "== 6. Releasing it: as in step 2, document 4 stops at its second line, half-written"
"$mirdane" release --batch "$ledger_batch" --log-dir "$ledger_logs"
echo "   (exit code $?)"

echo
echo "== 7. The operator corrects '1,5' to '1.5' and the host sends the whole batch back."
echo "      Released again, documents 1, 2, 3 and 5 are found complete in the ledger and nothing"
echo "      is written for them; document 4's half-written transaction is deleted and it is"
echo "      released anew. Every document is reported released."
sed -i 's/"1,5"/"1.5"/' "$ledger_batch"
"$mirdane" release --batch "$ledger_batch" --log-dir "$ledger_logs"
echo "   (exit code $?)"

echo
echo "== 8. One transaction per document, nothing left half-written, and the log of both releases"
"$mirdane" bridge show --connect "$system" --library XALEDGER
"$mirdane" bridge audit --connect "$system" --library XALEDGER
cat "$ledger_logs"/ERR_*.txt
echo
