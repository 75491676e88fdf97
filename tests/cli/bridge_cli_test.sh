#!/usr/bin/env bash
# mirdane bridge create/show from the outside: exit codes and output.
set -u
mirdane=$1
work=$2
. "$(dirname "$0")/test_lib.sh"
begin_test "$work"

out=$("$mirdane" bridge create --connect "sqlite:$work/sys" --library xalib 2>&1) || fail "create exited $?: $out"
grep -q "XALIB.UAGYCPP: created with 39 columns" <<<"$out" || fail "create output: $out"
[ -f "$work/sys/XALIB.db" ] || fail "library file XALIB.db missing"

out=$("$mirdane" bridge create --connect "sqlite:$work/sys" --library XALIB 2>&1) || fail "second create exited $?"
grep -q "exists already, left unchanged" <<<"$out" || fail "second create output: $out"

out=$("$mirdane" bridge show --connect "sqlite:$work/sys" --library XALIB 2>&1) || fail "show exited $?"
grep -q "XALIB.UAG0CPP: 0 rows" <<<"$out" || fail "show output: $out"

out=$("$mirdane" bridge audit --connect "sqlite:$work/sys" --library XALIB 2>&1) || fail "audit of empty tables exited $?: $out"
grep -q "^XALIB: no half-written transactions$" <<<"$out" || fail "audit output: $out"
sqlite3 "$work/sys/XALIB.db" "INSERT INTO UAGYCPP (GYABNV) VALUES (260101000000007)"
out=$("$mirdane" bridge audit --connect "sqlite:$work/sys" --library XALIB 2>&1)
[ $? -eq 1 ] || fail "an audit that finds something must exit 1"
grep -q "^transaction 260101000000007: header without lines$" <<<"$out" || fail "audit finding: $out"

# A library name with the marks IBM i allows, quoted wherever it goes.
out=$("$mirdane" bridge create --connect "sqlite:$work/sys" --library 'XA#L@B$_' 2>&1) || fail "create XA#L@B\$_ exited $?: $out"
grep -q 'XA#L@B\$_.UAGYCPP: created with 39 columns' <<<"$out" || fail "create XA#L@B\$_: $out"
"$mirdane" bridge check --connect "sqlite:$work/sys" --library 'xa#l@b$_' >/dev/null 2>&1 || fail "check XA#L@B\$_ exited $?"

"$mirdane" bridge show --connect "sqlite:$work/sys" --library "X;DROP" >/dev/null 2>&1
[ $? -eq 2 ] || fail "an invalid library name must exit 2"
err=$("$mirdane" bridge show --connect "sqlite:$work/sys" --library NOLIB 2>&1 >/dev/null)
[ $? -eq 1 ] || fail "a missing table must exit 1"
grep -q "NOLIB.UAGYCPP does not exist" <<<"$err" || fail "missing table message: $err"
"$mirdane" bridge show --library XALIB >/dev/null 2>&1
[ $? -eq 2 ] || fail "a missing --connect must exit 2"
"$mirdane" --help | grep -q "bridge" || fail "--help does not list bridge"

[ $failures -eq 0 ] && echo "bridge cli: all checks passed"
exit $failures
