#!/usr/bin/env bash
# Exactly once, whatever happens: a large batch released with the release
# ledger on is killed (kill -9) at random moments, round after round, then
# released to the end. Afterwards bridge audit finds nothing half-written and
# every document is in the bridge tables exactly once, with all its lines;
# on the stand-in and on PostgreSQL. The random seed is printed, and
# MIRDANE_KILL_SEED repeats a run.
set -u
mirdane=$1
services=$2
work=$3
. "$(dirname "$0")/test_lib.sh"
begin_test "$work"

seed=${MIRDANE_KILL_SEED:-$(( $(date +%s) % 100000 ))}
RANDOM=$seed
echo "release ledger kill test: seed $seed"
documents=60
rounds=10
lines=12  # per document, so that a kill often lands between its rows

# The batch: every document known by its UniqueDocumentID, which it also
# carries in GYALNA so that the bridge rows can be traced back to it.
write_batch() {  # connect user password library file
  {
    printf '{"setup": {"connectString": "%s", "userName": "%s", "password": "%s",\n' "$1" "$2" "$3"
    printf ' "customProperties": {"serverAPILibrary": "%s", "releaseLedger": "1"},\n' "$4"
    printf ' "links": [{"source": "Id", "sourceType": 0, "destination": "UAGYCPP.GYALNA"},\n'
    printf '  {"source": "Qty", "sourceType": 0, "destination": "UAG0CPP.G0AAQT"}]},\n "documents": ['
    for ((i = 1; i <= documents; i++)); do
      [ "$i" -gt 1 ] && printf ','
      printf '\n  {"uniqueDocumentId": "K%04d", "indexFields": {"Id": "K%04d"},' "$i" "$i"
      printf ' "tables": {"Lines": {"Qty": ['
      for ((n = 1; n <= lines; n++)); do printf '%s"%d"' "$([ $n -gt 1 ] && echo ,)" $n; done
      printf ']}}}'
    done
    printf ']}\n'
  } >"$5"
}

# Releases and kills the release `rounds` times, each time a random number of
# documents (1 to 5) past those released before, and then a random 0 to 20
# ms later, so that the kill lands anywhere within a document: before its
# ledger row, between its rows, before it is marked complete. Then releases
# the batch to the end.
kill_and_finish() {  # name batch
  local name=$1 batch=$2 round pid delay target reported done_before=0 out
  for ((round = 1; round <= rounds; round++)); do
    out="$work/$name-round$round.out"
    "$mirdane" release --batch "$batch" --counter-file "$work/$name.counter" \
      --log-dir "$work/$name-logs" >"$out" 2>&1 &
    pid=$!
    target=$(( done_before + 1 + RANDOM % 5 ))
    [ $target -gt $documents ] && target=$documents
    while kill -0 "$pid" 2>/dev/null; do
      reported=$(grep -c ': released$' "$out")
      [ "$reported" -ge "$target" ] && break
      sleep 0.005
    done
    delay=$(( RANDOM % 21 ))
    sleep "0.$(printf '%03d' $delay)"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    reported=$(grep -c ': released$' "$out")
    [ "$reported" -gt "$done_before" ] && done_before=$reported
    echo "$name: round $round killed ${delay} ms after document $target was reported;" \
      "$reported reported released"
  done
  out=$("$mirdane" release --batch "$batch" --counter-file "$work/$name.counter" \
    --log-dir "$work/$name-logs" 2>&1) || fail "$name: the last release exited $?: $(tail -n 5 <<<"$out")"
  grep -q "^$documents of $documents documents released$" <<<"$out" ||
    fail "$name: the last release: $(tail -n 3 <<<"$out")"
  echo "$name: $(cat "$work/$name-logs"/ERR_*.txt | grep -c 'left half-written') half-written" \
    "releases were replaced"
}

# The checks of one backend; `query` runs one SQL query and prints its value.
check_rows() {  # name header-table line-table ledger-table
  local name=$1 header=$2 line_table=$3 ledger=$4 value
  value=$(query "SELECT COUNT(*) FROM $header")
  [ "$value" -eq $documents ] || fail "$name: $value headers, not $documents"
  value=$(query "SELECT COUNT(DISTINCT gyalna) FROM $header")
  [ "$value" -eq $documents ] || fail "$name: $value documents among the headers, not $documents"
  value=$(query "SELECT COUNT(*) FROM $line_table")
  [ "$value" -eq $((lines * documents)) ] || fail "$name: $value lines, not $((lines * documents))"
  value=$(query "SELECT COUNT(*) FROM $ledger WHERE lgstat = 'C'")
  [ "$value" -eq $documents ] || fail "$name: $value complete ledger rows, not $documents"
  value=$(query "SELECT COUNT(*) FROM $ledger l JOIN $header h ON h.gyabnv = l.lgabnv \
    WHERE TRIM(h.gyalna) = TRIM(l.lgdoc)")
  [ "$value" -eq $documents ] || fail "$name: $value ledger rows name their own document's header"
}

audit_clean() {  # name connect [user]
  local out
  out=$("$mirdane" bridge audit --connect "$2" ${3:+--user "$3"} --library "$library" 2>&1) ||
    fail "$1: audit after the last release: $out"
}

# ---- the stand-in
library=XALIB
system="sqlite:$work/system"
"$mirdane" bridge create --connect "$system" --library $library --ledger >/dev/null ||
  { echo "FAIL: bridge create on the stand-in"; exit 1; }
write_batch "$system" "" "" $library "$work/standin.json"
kill_and_finish standin "$work/standin.json"
audit_clean standin "$system"
query() { sqlite3 "$work/system/$library.db" "$1"; }
check_rows standin uagycpp uag0cpp mirdledger

# ---- PostgreSQL
load_services "$services"
export MIRDANE_PASSWORD=$MIRDANE_PG_PASSWORD
library="K$RANDOM$RANDOM"
connect="odbc:DSN=$MIRDANE_PG_DSN"
"$mirdane" bridge create --connect "$connect" --user "$MIRDANE_PG_USER" --library "$library" \
  --ledger >/dev/null || { echo "FAIL: bridge create on PostgreSQL"; exit 1; }
write_batch "$connect" "$MIRDANE_PG_USER" "$MIRDANE_PG_PASSWORD" "$library" "$work/pg.json"
kill_and_finish postgresql "$work/pg.json"
audit_clean postgresql "$connect" "$MIRDANE_PG_USER"
query() { pg_sql -t -A "$1"; }
schema=$(tr '[:upper:]' '[:lower:]' <<<"$library")
check_rows postgresql "$schema.uagycpp" "$schema.uag0cpp" "$schema.mirdledger"

[ $failures -eq 0 ] && echo "release ledger kill test: all checks passed (seed $seed)"
exit $failures
