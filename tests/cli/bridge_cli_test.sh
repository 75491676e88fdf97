#!/usr/bin/env bash
# mirdane bridge create/show from the outside: exit codes and output.
set -u
mirdane=$1
work=$2
rm -rf "$work" && mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

out=$("$mirdane" bridge create --connect "sqlite:$work/sys" --library xalib 2>&1) || fail "create exited $?: $out"
grep -q "XALIB.UAGYCPP: created with 39 columns" <<<"$out" || fail "create output: $out"
[ -f "$work/sys/XALIB.db" ] || fail "library file XALIB.db missing"

out=$("$mirdane" bridge create --connect "sqlite:$work/sys" --library XALIB 2>&1) || fail "second create exited $?"
grep -q "exists already, left unchanged" <<<"$out" || fail "second create output: $out"

out=$("$mirdane" bridge show --connect "sqlite:$work/sys" --library XALIB 2>&1) || fail "show exited $?"
grep -q "XALIB.UAG0CPP: 0 rows" <<<"$out" || fail "show output: $out"

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
