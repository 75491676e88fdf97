#!/usr/bin/env bash
# With releaseLedger anything but "1" the release is what it was before the
# ledger existed, byte for byte: the sample batch released, sent back and
# released again writes every document twice, and the standard output, the
# standard error, the log and the bridge rows equal the recorded ones in
# release_ledger_off.expected, whether the library holds a ledger or not.
# Transaction numbers come from the clock, so the rows show them as T1, T2,
# ... in the order the headers were stored, and the log without its times.
#   release_ledger_off_test.sh MIRDANE SAMPLES WORK [--record]
set -u
mirdane=$1
samples=$2
work=$3
expected="$(cd "$(dirname "$0")" && pwd)/release_ledger_off.expected"
. "$(dirname "$0")/test_lib.sh"
begin_test "$work"
cd "$work" || exit 1

# One run: a fresh system, the batch with `property` (a JSON value or
# "absent") released twice, and what the run showed.
run() {  # name property [--ledger]
  local name=$1 property=$2 dir="$work/$1" i
  mkdir -p "$dir/samples"
  cp -r "$samples/scans" "$dir/samples/"
  if [ "$property" = absent ]; then
    cp "$samples/invoices.json" "$dir/samples/invoices.json"
  else
    sed "s/\"serverAPILibrary\": \"XALIB\"/&, \"releaseLedger\": $property/" \
      "$samples/invoices.json" >"$dir/samples/invoices.json"
  fi
  (
    cd "$dir" || exit 1
    "$mirdane" bridge create --connect sqlite:build/demo/system --library XALIB ${3:-} >/dev/null ||
      echo "bridge create failed"
    for i in 1 2; do
      echo "== release $i"
      # The log's name carries the month.
      "$mirdane" release --batch samples/invoices.json --log-dir logs 2>stderr |
        sed 's/ERR_[0-9]*\.txt/ERR_yymm.txt/'
      echo "exit code ${PIPESTATUS[0]}"
      echo "-- standard error"
      cat stderr
    done
    echo "== log"
    cut -f 2- logs/ERR_*.txt
    echo
    echo "== rows"
    sqlite3 -separator '|' build/demo/system/XALIB.db \
      "SELECT 'H', * FROM uagycpp ORDER BY rowid; SELECT 'L', * FROM uag0cpp ORDER BY rowid" |
      awk -F'|' -v OFS='|' '{ if (!($2 in t)) t[$2] = "T" ++n; $2 = t[$2]; print }'
  ) >"$work/$name.out"
}

if [ "${4:-}" = --record ]; then
  run record absent && cp "$work/record.out" "$expected" && echo "recorded $expected"
  exit
fi

grep -q 'releaseLedger' "$samples/invoices.json" && fail "the sample batch names releaseLedger"
number=0
for variant in "absent" '"0"' '""' '"yes"' '"1 "' '" 1"' '"on"'; do
  for ledger in "" --ledger; do
    number=$((number + 1))
    name="off$number$ledger"
    run "$name" "$variant" $ledger
    cmp -s "$expected" "$work/$name.out" ||
      fail "releaseLedger $variant ${ledger:-(no ledger table)}:" \
        "$(diff "$expected" "$work/$name.out" | head -n 20)"
  done
done
[ $failures -eq 0 ] && echo "release with the ledger off: all checks passed"
exit $failures
