#!/usr/bin/env bash
# Two release stations with counters of their own (as on two machines) release
# into one PostgreSQL library at the same time, both counters starting at the
# same number: numbers collide, the unique key refuses the second header, the
# station draws again. Every document is released, no number twice, and every
# line carries its own header's number.
set -u
mirdane=$1
services=$2
work=$3
. "$(dirname "$0")/test_lib.sh"
begin_test "$work"

load_services "$services"
library="S$RANDOM$RANDOM"
connect="odbc:DSN=$MIRDANE_PG_DSN"
query() { pg_sql -t -A "$1"; }
export MIRDANE_PASSWORD=$MIRDANE_PG_PASSWORD
"$mirdane" bridge create --connect "$connect" --user "$MIRDANE_PG_USER" --library "$library" >/dev/null ||
  { echo "FAIL: bridge create"; exit 1; }

documents=40
for station in a b; do
  {
    printf '{"setup": {"connectString": "%s", "userName": "%s", "password": "%s",\n' \
      "$connect" "$MIRDANE_PG_USER" "$MIRDANE_PG_PASSWORD"
    printf ' "customProperties": {"serverAPILibrary": "%s"},\n' "$library"
    printf ' "links": [{"source": "%s", "sourceType": 1, "destination": "UAGYCPP.GYABNT"},\n' "$station"
    printf '  {"source": "Qty", "sourceType": 0, "destination": "UAG0CPP.G0AAQT"}]},\n "documents": ['
    for ((i = 1; i <= documents; i++)); do
      [ "$i" -gt 1 ] && printf ','
      printf '\n  {"tables": {"Lines": {"Qty": ["1", "2"]}}}'
    done
    printf ']}\n'
  } >"$work/$station.json"
done
# Both counters a minute ahead of the clock and equal: each station's numbers
# are the other's.
ahead=$(( $(date +%s%3N) + 60000 ))
echo "$ahead" >"$work/a.counter"
echo "$ahead" >"$work/b.counter"

"$mirdane" release --batch "$work/a.json" --counter-file "$work/a.counter" --log-dir "$work/a-logs" \
  >"$work/a.out" 2>&1 &
a=$!
"$mirdane" release --batch "$work/b.json" --counter-file "$work/b.counter" --log-dir "$work/b-logs" \
  >"$work/b.out" 2>&1 &
b=$!
wait $a || fail "station a exited $?: $(tail -n 5 "$work/a.out")"
wait $b || fail "station b exited $?: $(tail -n 5 "$work/b.out")"

table() { echo "$(tr '[:upper:]' '[:lower:]' <<<"$library").$1"; }
headers=$(query "SELECT COUNT(*) FROM $(table uagycpp)")
distinct=$(query "SELECT COUNT(DISTINCT gyabnv) FROM $(table uagycpp)")
[ "$headers" -eq $((2 * documents)) ] || fail "$headers headers, not $((2 * documents))"
[ "$distinct" -eq "$headers" ] || fail "$distinct distinct numbers among $headers headers"
for station in a b; do
  count=$(query "SELECT COUNT(*) FROM $(table uagycpp) WHERE gyabnt = '$station'")
  [ "$count" -eq "$documents" ] || fail "station $station stored $count headers"
done
# Each line's number belongs to a header of the same station, two lines each.
wrong=$(query "SELECT COUNT(*) FROM $(table uag0cpp) l WHERE NOT EXISTS (SELECT 1 FROM \
  $(table uagycpp) h WHERE h.gyabnv = l.g0abnv)")
[ "$wrong" -eq 0 ] || fail "$wrong lines carry no header's number"
lines=$(query "SELECT COUNT(*) FROM $(table uag0cpp)")
[ "$lines" -eq $((4 * documents)) ] || fail "$lines lines, not $((4 * documents))"
out=$("$mirdane" bridge audit --connect "$connect" --user "$MIRDANE_PG_USER" --library "$library" 2>&1) ||
  fail "audit after two stations: $out"

[ $failures -eq 0 ] && echo "release stations: all checks passed"
exit $failures
