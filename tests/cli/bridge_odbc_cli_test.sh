#!/usr/bin/env bash
# mirdane over ODBC from the outside: bridge create/show/check and a release
# into PostgreSQL; no output, log or error ever shows the password.
set -u
mirdane=$1
services=$2
work=$3
sample=$4
. "$(dirname "$0")/test_lib.sh"
begin_test "$work"

load_services "$services"
library="C$RANDOM$RANDOM"
connect="odbc:DSN=$MIRDANE_PG_DSN"
psql_xa() { pg_sql "$1"; }

# The password from the environment, as an administrator should give it.
export MIRDANE_PASSWORD=$MIRDANE_PG_PASSWORD
out=$("$mirdane" bridge create --connect "$connect" --user "$MIRDANE_PG_USER" --library "$library" 2>&1) \
  || fail "create exited $?: $out"
grep -q "library $library: created" <<<"$out" || fail "create output: $out"
grep -q "$library.UAG0CPP: created with 44 columns" <<<"$out" || fail "create output: $out"

out=$("$mirdane" bridge check --connect "$connect" --user "$MIRDANE_PG_USER" --library "$library" 2>&1) \
  || fail "check of fresh tables exited $?: $out"
grep -q "both bridge tables match the field catalogue" <<<"$out" || fail "check output: $out"

# The marks IBM i allows in a name, quoted on PostgreSQL as well.
marked="M#\$@_$RANDOM"
out=$("$mirdane" bridge create --connect "$connect" --user "$MIRDANE_PG_USER" --library "$marked" 2>&1) \
  || fail "create $marked exited $?: $out"
out=$("$mirdane" bridge check --connect "$connect" --user "$MIRDANE_PG_USER" --library "$marked" 2>&1) \
  || fail "check $marked exited $?: $out"
grep -q "both bridge tables match the field catalogue" <<<"$out" || fail "check $marked: $out"
out=$("$mirdane" bridge audit --connect "$connect" --user "$MIRDANE_PG_USER" --library "$marked" 2>&1) \
  || fail "audit $marked exited $?: $out"

# The demo batch into PostgreSQL through the program.
batch="$work/batch.json"
sed -e "s|\"connectString\": \"[^\"]*\"|\"connectString\": \"$connect\"|" \
    -e "s|\"userName\": \"[^\"]*\"|\"userName\": \"$MIRDANE_PG_USER\"|" \
    -e "s|\"password\": \"[^\"]*\"|\"password\": \"$MIRDANE_PG_PASSWORD\"|" \
    -e "s|\"serverAPILibrary\": \"[^\"]*\"|\"serverAPILibrary\": \"$library\"|" "$sample" >"$batch"
out=$("$mirdane" release --batch "$batch" --log-dir "$work/logs" 2>&1)
[ $? -eq 1 ] || fail "release of the demo batch must exit 1 (document 4 fails): $out"
grep -q "4 of 5 documents released" <<<"$out" || fail "release output: $out"
out=$("$mirdane" bridge show --connect "$connect" --user "$MIRDANE_PG_USER" --library "$library" 2>&1) \
  || fail "show exited $?: $out"
grep -q "$library.UAGYCPP: 5 rows" <<<"$out" || fail "show output: $out"
grep -q "$library.UAG0CPP: 12 rows" <<<"$out" || fail "show output: $out"

# A column narrower than the catalogue fails the check, naming it.
psql_xa "ALTER TABLE $library.uagycpp ALTER gyalna TYPE CHAR(8) USING left(gyalna, 8)" || fail "psql"
out=$("$mirdane" bridge check --connect "$connect" --user "$MIRDANE_PG_USER" --library "$library" 2>&1)
[ $? -eq 1 ] || fail "check of a narrowed column must exit 1: $out"
grep -q "^error: $library.UAGYCPP.GYALNA is CHAR(8), the catalogue has CHAR(26)" <<<"$out" \
  || fail "check output: $out"
grep -q "1 difference, 1 of them would make a release fail" <<<"$out" || fail "check summary: $out"

# A wrong password: one clear message, exit 1, and neither password shown.
unset MIRDANE_PASSWORD
wrong="Wrong$MIRDANE_PG_PASSWORD"
err=$("$mirdane" bridge show --connect "$connect;PWD=$wrong" --user "$MIRDANE_PG_USER" \
      --password "$wrong" --library "$library" 2>&1 >/dev/null)
[ $? -eq 1 ] || fail "a wrong password must exit 1"
grep -q "password authentication failed" <<<"$err" || fail "wrong password message: $err"
sed -e "s|\"password\": \"[^\"]*\"|\"password\": \"$wrong\"|" "$batch" >"$work/wrong.json"
out=$("$mirdane" release --batch "$work/wrong.json" --log-dir "$work/logs" 2>&1)
[ $? -eq 1 ] || fail "a release with a wrong password must exit 1"
grep -q "0 of 5 documents released" <<<"$out" || fail "wrong password release: $out"
if grep -rq -e "$MIRDANE_PG_PASSWORD" <<<"$err$out" || grep -rq -e "$MIRDANE_PG_PASSWORD" "$work/logs"; then
  fail "a password appears in an output or the log"
fi

"$mirdane" bridge check --connect "$connect" --library "X;DROP" >/dev/null 2>&1
[ $? -eq 2 ] || fail "an invalid library name must exit 2"

[ $failures -eq 0 ] && echo "bridge odbc cli: all checks passed"
exit $failures
