#!/usr/bin/env bash
# The release through COM against the same release in-process, both by
# mirdane.exe under the same Wine session: what the host's way of calling
# the connector (ProgID, IDispatch by name, host objects as automation
# objects) costs on top of the release itself. Interleaved rounds; prints
# the median and the least of the per-round ratios.
#
#   scripts/com-bench.sh BUILD [DOCUMENTS] [ROUNDS]
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
documents=${2:-200}
rounds=${3:-5}
cd "$(dirname "$0")/.."

mingw=$build/mingw-x86_64
work=$build/com-bench
rm -rf "$work" && mkdir -p "$work/odbc"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
wine=/usr/lib/wine/wine64
[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1
# A server still running for the prefix (wineboot leaves one behind a while) will do.
/usr/lib/wine/wineserver -p >/dev/null 2>&1 || true
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true' EXIT
winepath() { echo "Z:$(echo "$1" | tr / '\\')"; }

driver=$(dpkg -L "libsqliteodbc:$(dpkg --print-architecture)" | grep '/libsqlite3odbc.so$' | head -n 1)
printf '[SQLite3]\nDriver = %s\n' "$driver" >"$work/odbc/odbcinst.ini"
: >"$work/odbc/odbc.ini"
export ODBCSYSINI=$work/odbc ODBCINI=$work/odbc/odbc.ini
"$wine" regsvr32 /s "$(winepath "$mingw/component/mirdane.dll")"

# A batch of DOCUMENTS documents: the demo's documents over and over.
python3 - samples/invoices.json "$work/batch.json" "$documents" "$work/db.sqlite" <<'PY'
import json, sys
batch = json.load(open(sys.argv[1]))
docs = batch["documents"]
batch["documents"] = [docs[i % len(docs)] for i in range(int(sys.argv[3]))]
batch["setup"]["connectString"] = "odbc:DRIVER={SQLite3};Database=" + sys.argv[4]
batch["setup"]["customProperties"]["serverAPILibrary"] = "MAIN"
json.dump(batch, open(sys.argv[2], "w"))
PY

run() {  # run [--com]: one release into fresh tables; prints milliseconds
  rm -f "$work/db.sqlite"
  "$build/native/cli/mirdane" bridge create --connect "odbc:DRIVER={SQLite3};Database=$work/db.sqlite" \
    --library MAIN >/dev/null
  local start end
  start=$(date +%s%N)
  "$wine" "$mingw/cli/mirdane.exe" release --batch "$(winepath "$work/batch.json")" \
    --log-dir "$(winepath "$work/logs")" "$@" >"$work/last.log" 2>&1 ||
    { cat "$work/last.log"; exit 1; }
  end=$(date +%s%N)
  grep -q "^$documents of $documents documents released" "$work/last.log" ||
    { cat "$work/last.log"; exit 1; }
  echo $(((end - start) / 1000000))
}

run >/dev/null  # warm the prefix and the disk cache
ratios=()
for round in $(seq "$rounds"); do
  in_process=$(run)
  com=$(run --com)
  ratios+=("$(awk -v a="$com" -v b="$in_process" 'BEGIN { printf "%.3f", a / b }')")
  printf '  round %d: in-process %6d ms, through COM %6d ms\n' "$round" "$in_process" "$com"
done
sorted=$(printf '%s\n' "${ratios[@]}" | sort -n)
median=$(echo "$sorted" | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }')
least=$(echo "$sorted" | head -n 1)
echo "release through COM / in-process, $documents documents under Wine: median ${median}x (min ${least}x); goal <= 1.5x"
