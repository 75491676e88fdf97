#!/usr/bin/env bash
# mirdane release from the outside: the demo batch, exit codes, the log
# beside the batch file, and a malformed batch that writes nothing.
set -u
mirdane=$1
samples=$2
work=$3
. "$(dirname "$0")/test_lib.sh"
begin_test "$work"
cd "$work" || exit 1
rows() { sqlite3 "$work/build/demo/system/XALIB.db" "SELECT COUNT(*) FROM $1"; }

mkdir -p batches
cp "$samples/invoices.json" batches/
ln -s "$samples/scans" samples-scans 2>/dev/null
"$mirdane" bridge create --connect sqlite:build/demo/system --library XALIB >/dev/null || fail "bridge create"

out=$("$mirdane" release --batch batches/invoices.json 2>"$work/stderr")
status=$?
[ $status -eq 1 ] || fail "a batch with one refused line must exit 1, not $status"
grep -q "^document 2: released$" <<<"$out" || fail "document 2 line missing: $out"
grep -q "^document 4: NOT released$" <<<"$out" || fail "document 4 line missing: $out"
grep -q "^4 of 5 documents released" <<<"$out" || fail "summary missing: $out"
grep -q "^document 4: Error Updating UAG0CPP record 2 of 3: Failed to set Field 'G0AAQT' to value '1,5'" "$work/stderr" \
  || fail "the refusal is not on standard error: $(cat "$work/stderr")"
log=$(ls batches/logs/ERR_*.txt 2>/dev/null)
[ -n "$log" ] || fail "no log beside the batch file"
[ "$(grep -c 'Document Released Successfully' "$log")" -eq 4 ] || fail "log: $(cat "$log")"
[ "$(rows UAGYCPP)" -eq 5 ] || fail "UAGYCPP has $(rows UAGYCPP) rows"
[ "$(rows UAG0CPP)" -eq 12 ] || fail "UAG0CPP has $(rows UAG0CPP) rows"

printf '{"setup": {"connectString": "sqlite:build/demo/system",\n "links": [{"sourceType": "0"}]},\n "documents": [{}]}' > bad.json
err=$("$mirdane" release --batch bad.json --log-dir logs2 2>&1 >/dev/null)
[ $? -eq 2 ] || fail "a malformed batch must exit 2"
grep -q "bad.json:2: setup.links\[0\].sourceType" <<<"$err" || fail "malformed message: $err"
[ ! -e logs2 ] || fail "a malformed batch wrote a log"
[ "$(rows UAGYCPP)" -eq 5 ] || fail "a malformed batch wrote rows"

"$mirdane" release --batch missing.json >/dev/null 2>&1
[ $? -eq 2 ] || fail "a missing batch file must exit 2"
"$mirdane" release >/dev/null 2>&1
[ $? -eq 2 ] || fail "a missing --batch must exit 2"

printf '{"documents": []}' > empty.json
"$mirdane" release --batch empty.json >/dev/null 2>&1 || fail "an empty batch must exit 0"

# A log that cannot be written is said once on standard error, its lines go
# there instead, and the run exits 1 even though every document was released.
printf '{"setup": {"connectString": "sqlite:build/demo/system", "customProperties": {"serverAPILibrary": "XALIB"}},\n "documents": [{}, {}]}' > two.json
touch not-a-dir
out=$("$mirdane" release --batch two.json --log-dir not-a-dir 2>"$work/stderr")
status=$?
[ $status -eq 1 ] || fail "an unwritable log must exit 1, not $status"
grep -q "^2 of 2 documents released; the log not-a-dir/ERR_.*could not be written$" <<<"$out" ||
  fail "unwritable log summary: $out"
[ "$(grep -c 'cannot be written' "$work/stderr")" -eq 1 ] || fail "said more or less than once: $(cat "$work/stderr")"
[ "$(grep -c '^not logged: .*Document Released Successfully' "$work/stderr")" -eq 2 ] ||
  fail "the unlogged lines are not on standard error: $(cat "$work/stderr")"
# A full disk: the month's log is /dev/full.
mkdir -p full
ln -s /dev/full "full/ERR_$(date +%y%m).txt"
"$mirdane" release --batch two.json --log-dir full >/dev/null 2>"$work/stderr"
[ $? -eq 1 ] || fail "a full disk must exit 1"
grep -q "cannot be written: writing failed" "$work/stderr" || fail "full disk: $(cat "$work/stderr")"
[ "$(rows UAGYCPP)" -eq 9 ] || fail "the four documents were not all released: $(rows UAGYCPP)"

# A header number that another station stored first: a number past it is
# drawn (a random gap ahead, so that two stations drawing the same sequence
# do not stay in step) and the document released; only when every try fails
# is it reported.
number() {  # number MILLISECONDS -> yyMMddhhmmssfff (UTC)
  printf '%s%03d' "$(date -u -d "@$(($1 / 1000))" +%y%m%d%H%M%S)" $(($1 % 1000))
}
"$mirdane" bridge create --connect sqlite:build/demo/system --library DUP >/dev/null || fail "bridge create DUP"
dup() { sqlite3 "$work/build/demo/system/DUP.db" "$1"; }
# Every number of the milliseconds FROM to TO taken, as the stand-in stores them.
take() {
  dup "WITH RECURSIVE n(ms) AS (SELECT $1 UNION ALL SELECT ms + 1 FROM n WHERE ms < $2)
       INSERT INTO UAGYCPP (GYABNV) SELECT CAST(strftime('%Y%m%d%H%M%S', ms / 1000, 'unixepoch')
         AS INTEGER) % 1000000000000 * 1000 + ms % 1000 FROM n"
}
ahead=$(( $(date +%s%3N) + 600000 ))
take $((ahead + 1)) $((ahead + 2))
[ "$(dup "SELECT COUNT(*) FROM UAGYCPP WHERE GYABNV = $(number $((ahead + 2)))")" -eq 1 ] ||
  fail "take() does not write the numbers the release draws"
echo "$ahead" > counter
printf '{"setup": {"connectString": "sqlite:build/demo/system", "customProperties": {"serverAPILibrary": "DUP"}},\n "documents": [{}]}' > dup.json
out=$("$mirdane" release --batch dup.json --counter-file counter 2>&1)
[ $? -eq 0 ] || fail "a taken number must be replaced by another: $out"
stored=$(dup "SELECT GYABNV FROM UAGYCPP WHERE GYABNV > $(number $((ahead + 2)))")
[ "$(wc -l <<<"$stored")" -eq 1 ] && [ "$stored" -le "$(number $((ahead + 2 + 1000)))" ] ||
  fail "the header was not stored once, at most a second past the taken numbers: $stored"
[ "$(dup "SELECT COUNT(*) FROM UAG0CPP WHERE G0ABNV = $stored")" -eq 1 ] ||
  fail "the line does not carry the stored number: $(dup 'SELECT G0ABNV FROM UAG0CPP')"
# Every number the five tries can reach is taken: the document fails.
next=$(cat counter)
take $((next + 1)) $((next + 1 + 5 * 1001))
out=$("$mirdane" release --batch dup.json --counter-file counter --log-dir duplogs 2>&1)
[ $? -eq 1 ] || fail "five taken numbers must fail the document: $out"
grep -q "SQL0803 - Duplicate key value specified" duplogs/ERR_*.txt || fail "duplicate not logged: $(cat duplogs/ERR_*.txt)"
[ "$(dup "SELECT COUNT(*) FROM UAG0CPP")" -eq 1 ] || fail "a refused header wrote lines"

[ $failures -eq 0 ] && echo "release cli: all checks passed"
exit $failures
