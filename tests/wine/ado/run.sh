#!/usr/bin/env bash
# Runs the ADO backend's Wine suite and ends with one line
# "ado-wine (ARCH): N passed, M failed".
#
#   tests/wine/ado/run.sh MINGW_BUILD_DIR [WINEPREFIX]
#
# MINGW_BUILD_DIR is a mingw build (x86_64 or i686) that has built the target
# mirdane_ado_wine_test; the program runs under wine64 or, for i686, under
# 32-bit Wine. WINEPREFIX defaults to MINGW_BUILD_DIR/wineprefix-ado and is
# made when missing. The ODBC data source the suite uses is made afresh under
# the build directory: a SQLite database behind SQLite's ODBC driver of the
# program's architecture, named by odbcinst.ini/odbc.ini files of its own
# (ODBCSYSINI, ODBCINI), which Wine's odbc32 reaches through unixODBC.
# GTEST_FILTER in the environment picks tests, as for any GoogleTest program.
set -uo pipefail

fail() {
  echo "ado-wine: $*" >&2
  echo "ado-wine: 0 passed, 1 failed"
  exit 1
}

[ $# -ge 1 ] || fail "usage: $0 MINGW_BUILD_DIR [WINEPREFIX]"
build=$(cd "$1" 2>/dev/null && pwd) || fail "no build directory $1"
prefix=$(realpath -m "${2:-$build/wineprefix-ado}")  # Wine wants it absolute
exe=$build/tests/wine/ado/mirdane_ado_wine_test.exe
[ -f "$exe" ] || fail "$exe is missing: build the target mirdane_ado_wine_test"

# The program's architecture, from its PE header (machine 8664 or 014c).
pe_offset=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe_offset + 4)) -N2 "$exe" | tr -d ' ')
case "$machine" in
  8664) arch=x86_64 loader=/usr/lib/wine/wine64 multiarch=x86_64-linux-gnu debarch=amd64 ;;
  014c) arch=i686 loader=/usr/lib/wine/wine multiarch=i386-linux-gnu debarch=i386 ;;
  *) fail "$exe is no Windows program for x86_64 or i686 (machine $machine)" ;;
esac
[ -x "$loader" ] || fail "$loader is missing: install wine64 (and wine32:i386 for i686)"
if ! version=$("$loader" --version 2>&1); then
  case "$version" in
    *"Exec format error"*)
      fail "$loader cannot run: this kernel does not execute 32-bit programs (no IA32 emulation)" ;;
    *) fail "$loader cannot run: $version" ;;
  esac
fi
driver=/usr/lib/$multiarch/odbc/libsqlite3odbc.so
[ -f "$driver" ] ||
  fail "$driver is missing: install libsqliteodbc:$debarch (and libodbc2:$debarch)"
# The driver reads a data source's Database= through libodbcinst, loaded at
# run time; without it every connection gets a new empty database.
[ -f "/usr/lib/$multiarch/libodbcinst.so.2" ] ||
  fail "/usr/lib/$multiarch/libodbcinst.so.2 is missing: install libodbcinst2:$debarch"

export WINEPREFIX=$prefix WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || fail "wineboot could not make $WINEPREFIX"
fi

data=$build/tests/wine/ado/data-source
rm -rf "$data"
mkdir -p "$data"
cat >"$data/odbcinst.ini" <<INI
[SQLite3]
Driver = $driver
INI
cat >"$data/odbc.ini" <<INI
[mirdane_ado]
Driver = SQLite3
Database = $data/xa.db
INI
export ODBCSYSINI=$data ODBCINI=$data/odbc.ini MIRDANE_ADO_DSN=mirdane_ado

# Wine may end without running anything: count the tests the program lists
# and the ones it reports passed, never trust the exit code alone.
expected=$("$loader" "$exe" --gtest_list_tests 2>/dev/null | tr -d '\r' | grep -c '^  ')
log=$build/tests/wine/ado/run.log
"$loader" "$exe" --gtest_color=no >"$log" 2>&1
tr -d '\r' <"$log" |
  grep -E '^\[ +(OK|FAILED) +\]|^\[ +PASSED|Failure|Expected|Which is|actual' || true
passed=$(tr -d '\r' <"$log" | sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p')
passed=${passed:-0}
[ "$expected" -gt 0 ] || { echo "ado-wine: the program listed no tests (see $log)"; expected=1; }
failed=$((expected - passed))
echo "ado-wine ($arch): $passed passed, $failed failed"
[ "$failed" -eq 0 ]
