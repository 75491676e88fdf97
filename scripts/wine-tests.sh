#!/usr/bin/env bash
# The Wine tier: the Windows build of one architecture, run for real under
# Wine in a private prefix. Registers mirdane.dll with regsvr32, runs the
# Windows test programs, releases a batch through COM into SQLite (Wine's
# odbc32 -> unixODBC -> SQLite's ODBC driver) and checks the rows from Linux.
# Every check asserts on what happened (a key, a row, a log line), never on
# an exit code alone. Ends with "N passed, M failed".
#
#   scripts/wine-tests.sh BUILD ARCH      ARCH: x86_64 or i686
#
# Exits 0 when everything passed, 1 when something failed, 3 when this
# machine cannot run programs of ARCH at all (said on the last line, after
# the count of the checks that read the built files without running them).
set -uo pipefail
build=$(cd "${1:?build folder}" && pwd)
arch=${2:?x86_64 or i686}
cd "$(dirname "$0")/.."
source_dir=$PWD

mingw=$build/mingw-$arch
native=$build/native/cli/mirdane
work=$build/wine-tests-$arch
rm -rf "$work"
mkdir -p "$work/logs"

case $arch in
  x86_64) loader=/usr/lib/wine/wine64; debian_arch=amd64 ;;
  i686) loader=/usr/lib/wine/wine; debian_arch=i386 ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "PASS: $1"; }
fail() { failed=$((failed + 1)); echo "FAIL: $1"; }
finish() {
  echo "wine $arch: $passed passed, $failed failed"
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit $?
}

exe=$mingw/cli/mirdane.exe

# --- the built files, read without running them --------------------------
# These hold on any machine, also where this architecture cannot be run.
objdump=$arch-w64-mingw32-objdump
[ "$arch" = i686 ] && pe_machine=i386 || pe_machine=x86-64
exports=$("$objdump" -p "$mingw/component/mirdane.dll" 2>/dev/null)
if grep -q "file format pei-$pe_machine" <<<"$exports" &&
   [ "$(grep -cE '\] (DllCanUnloadNow|DllGetClassObject|DllRegisterServer|DllUnregisterServer)$' <<<"$exports")" = 4 ]; then
  pass "mirdane.dll ($arch) exports the four COM entry points by their plain names"
else
  fail "mirdane.dll ($arch) lacks a COM entry point or is not a $pe_machine module"
fi
# Only the system's own modules: a GCC runtime DLL would be missing on the host.
for module in "$mingw/component/mirdane.dll" "$exe"; do
  foreign=$("$objdump" -p "$module" 2>/dev/null | sed -n 's/^\tDLL Name: //p' |
            grep -viE '^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|comctl32|odbc32|msvcrt|version|shell32|uxtheme|winmm|oleacc)\.dll$')
  if [ -z "$foreign" ]; then
    pass "$(basename "$module") ($arch) needs no module beyond the system's"
  else
    fail "$(basename "$module") ($arch) imports $(echo $foreign)"
  fi
done
# The type library describes the platform the module runs on (1 win32, 3 win64).
syskind=$(python3 -c "import sys; print(open(sys.argv[1], 'rb').read()[20] & 15)" \
          "$mingw/component/generated/mirdane.tlb")
[ "$arch" = i686 ] && want=1 || want=3
if [ "$syskind" = "$want" ]; then
  pass "the type library ($arch) is made for its platform"
else
  fail "the type library ($arch) is made for platform $syskind, not $want"
fi

# A kernel without 32-bit support cannot run the 32-bit loader (and
# install-deps.sh does not install it there): say so instead of counting a
# run that did nothing as a pass, or a Wine that cannot exist here as missing.
not_runnable() {  # not_runnable WHY
  echo "wine $arch: $passed passed, $failed failed (the built files only)"
  echo "wine $arch: not run: this machine cannot execute $loader ($1)"
  [ "$failed" -eq 0 ] && exit 3
  exit 1
}
if [ ! -x "$loader" ]; then
  if [ "$arch" = i686 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    not_runnable "the kernel runs no 32-bit programs, so 32-bit Wine is not installed"
  fi
  fail "Wine for $arch is not installed ($loader): run scripts/install-deps.sh"
  finish
fi
if ! "$loader" --version >/dev/null 2>&1; then
  not_runnable "$("$loader" --version 2>&1 | head -n 1)"
fi

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
winepath() { echo "Z:$(echo "$1" | tr / '\\')"; }
dll=$(winepath "$mingw/component/mirdane.dll")

# One prefix for both architectures, made once (about 15 s), with Wine's
# fonts copied in (installing fonts-wine does not reach an existing prefix).
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "/usr/lib/wine/wine64" wineboot -i >"$work/logs/wineboot.log" 2>&1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
) 9>"$build/wineprefix.lock"
/usr/lib/wine/wineserver -p >/dev/null 2>&1
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true' EXIT

# ODBC for Wine's odbc32: SQLite's driver in the build of this architecture.
driver=$(dpkg -L "libsqliteodbc:$debian_arch" 2>/dev/null | grep '/libsqlite3odbc.so$' | head -n 1)
native_driver=$(dpkg -L "libsqliteodbc:$(dpkg --print-architecture)" 2>/dev/null |
                grep '/libsqlite3odbc.so$' | head -n 1)
pg_driver=$(dpkg -L "odbc-postgresql:$debian_arch" 2>/dev/null | grep '/psqlodbcw.so$' | head -n 1)
mkdir -p "$work/odbc" "$work/odbc-native"
printf '[SQLite3]\nDriver = %s\n[PostgreSQL]\nDriver = %s\n' "$driver" "$pg_driver" \
  >"$work/odbc/odbcinst.ini"
printf '[SQLite3]\nDriver = %s\n' "$native_driver" >"$work/odbc-native/odbcinst.ini"
: >"$work/odbc/odbc.ini"
: >"$work/odbc-native/odbc.ini"
run_wine() { ODBCSYSINI=$work/odbc ODBCINI=$work/odbc/odbc.ini "$loader" "$@"; }
run_native() { ODBCSYSINI=$work/odbc-native ODBCINI=$work/odbc-native/odbc.ini "$native" "$@"; }

# --- registration ----------------------------------------------------------
run_wine regsvr32 /s "$dll"
clsid_key='HKCR\CLSID\{F6C9D062-2E1F-4d80-8002-E9C453675C89}\InprocServer32'
if run_wine reg query "$clsid_key" 2>/dev/null | grep -i "mirdane.dll" >/dev/null; then
  pass "regsvr32 registers the release script's server"
else
  fail "regsvr32 left no InprocServer32 naming mirdane.dll"
fi

# --- the Windows test programs -----------------------------------------------
count_gtest() {  # count_gtest LABEL LOG: adds a test program's cases to the counts
  local label=$1 log=$2 ok bad
  ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$log" | tail -n 1)
  bad=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*, listed below.*/\1/p' "$log" | tail -n 1)
  if [ -z "$ok" ] && [ -z "$bad" ]; then
    fail "$label did not run to its end (see $log)"
    tail -n 20 "$log"
    return
  fi
  passed=$((passed + ${ok:-0}))
  failed=$((failed + ${bad:-0}))
  echo "$label: ${ok:-0} passed, ${bad:-0} failed"
  [ "${bad:-0}" -eq 0 ] || grep -E '^\[  FAILED  \]|Failure|Expected|Which is' "$log" | head -n 40
}
gtest() {  # gtest NAME: runs a test program, counting its cases
  local name=$1 log=$work/logs/$1.log
  MIRDANE_DLL=$dll run_wine "$mingw/tests/wine/$name.exe" >"$log" 2>&1
  count_gtest "$name" "$log"
}
gtest component_wine_test

# A German user locale for Wine: the glibc locale, compiled into the run's
# own folder (no system locale is changed), and named by LC_ALL.
mkdir -p "$work/locale"
localedef -i de_DE -f UTF-8 "$work/locale/de_DE.UTF-8" >"$work/logs/localedef.log" 2>&1
german=(env LOCPATH="$work/locale" LC_ALL=de_DE.UTF-8)

# The module in a host's process, with a bridge database of its own in WAL
# mode (an open session shows as its -wal file) and the German locale.
host_db=$work/host-process.db
run_native bridge create --connect "odbc:DRIVER={SQLite3};Database=$host_db" --library MAIN \
  >"$work/logs/bridge.log" 2>&1
sqlite3 "$host_db" 'PRAGMA journal_mode=WAL;' >/dev/null
MIRDANE_DLL=$dll MIRDANE_BRIDGE_DB=$host_db "${german[@]}" ODBCSYSINI="$work/odbc" ODBCINI="$work/odbc/odbc.ini" \
  "$loader" "$mingw/tests/wine/host_process_wine_test.exe" >"$work/logs/host_process_wine_test.log" 2>&1
count_gtest host_process_wine_test "$work/logs/host_process_wine_test.log"

# The ADO backend through Wine's own ADO (its Update is a stub: the run must
# end in the composed error), counted by its own runner.
ado_log=$work/logs/ado.log
tests/wine/ado/run.sh "$mingw" "$WINEPREFIX" >"$ado_log" 2>&1
ado_counts=$(sed -n 's/^ado-wine.*: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$ado_log" | tail -n 1)
if [ -n "$ado_counts" ]; then
  read -r ok bad <<<"$ado_counts"
  passed=$((passed + ok))
  failed=$((failed + bad))
  echo "ado: $ok passed, $bad failed"
  [ "$bad" -eq 0 ] || tail -n 30 "$ado_log"
else
  fail "the ADO suite did not finish (see $ado_log)"
fi

# --- the setup sheet, on a screen of its own -----------------------------------
# The sheet's windows are driven by messages on an Xvfb screen, inside a
# Wine virtual desktop (which draws title bars: there is no window manager).
# The whole suite runs at 96 DPI; the layout and the screenshots again at
# 144 DPI (Wine's LogPixels), to show that the sheet scales and cuts nothing.
shots=$build/screenshots
rm -f "$shots"/setup-*.bmp "$shots"/setup-*.png
mkdir -p "$shots"
set_dpi() { run_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
ui_gtest() {  # ui_gtest NAME LABEL [ARGS...]
  local name=$1 label=$2 log=$work/logs/$2.log
  shift 2
  MIRDANE_DLL=$dll MIRDANE_EXE=$(winepath "$exe") MIRDANE_SCREENSHOTS=$(winepath "$shots") \
    xvfb-run -a -s "-screen 0 1280x1024x24" env ODBCSYSINI="$work/odbc" ODBCINI="$work/odbc/odbc.ini" \
    "$loader" explorer "/desktop=$label,1280x1024" "$(winepath "$mingw/tests/wine/$name.exe")" "$@" \
    >"$log" 2>&1
  count_gtest "$label" "$log"
}
# "Test Connection" tries bridge tables made by bridge create, one of them
# without a column, and a server that takes connections and never answers
# (PostgreSQL's driver then waits for it), so that Cancel can be pressed.
connection_db=$work/connection.db
connection_db_no_column=$work/connection-no-column.db
rm -f "$connection_db" "$connection_db_no_column"
for db in "$connection_db" "$connection_db_no_column"; do
  run_native bridge create --connect "odbc:DRIVER={SQLite3};Database=$db" --library MAIN \
    >>"$work/logs/bridge.log" 2>&1
done
sqlite3 "$connection_db_no_column" 'ALTER TABLE UAGYCPP DROP COLUMN GYABNT;'
silent_port_file=$work/silent-port
rm -f "$silent_port_file"
python3 - "$silent_port_file" <<'PY' &
import socket, sys, time
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(16)  # connections wait in the backlog, never answered
with open(sys.argv[1] + ".tmp", "w") as out:
    out.write(str(listener.getsockname()[1]))
import os
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
time.sleep(900)
PY
silent_pid=$!
for _ in $(seq 50); do [ -s "$silent_port_file" ] && break; sleep 0.1; done
export MIRDANE_CONNECTION_DB=$connection_db MIRDANE_CONNECTION_DB_NO_COLUMN=$connection_db_no_column
export MIRDANE_SILENT_PORT=$(cat "$silent_port_file" 2>/dev/null)
set_dpi 96
ui_gtest setup_ui_wine_test setup-ui-96dpi
set_dpi 144
ui_gtest setup_ui_wine_test setup-ui-144dpi --gtest_filter='*Layout*:*Screenshot*:*AccessibleObject*'
set_dpi 96
kill "$silent_pid" 2>/dev/null
wait "$silent_pid" 2>/dev/null
for bmp in "$shots"/setup-*.bmp; do
  [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
width_at() { identify -format '%w' "$shots/setup-general-$1dpi.png" 2>/dev/null; }
w96=$(width_at 96)
w144=$(width_at 144)
if [ -n "$w96" ] && [ -n "$w144" ] && [ $((w144 * 100 / w96)) -ge 140 ] && [ $((w144 * 100 / w96)) -le 160 ] &&
   [ "$(ls "$shots"/setup-*.png | wc -l)" -ge 12 ]; then
  pass "screenshots of the setup sheet in $shots; at 144 DPI it is 1.5 times as wide ($w96 -> $w144 pixels)"
else
  fail "setup sheet screenshots missing or not scaled with the DPI ($w96 -> $w144 pixels, see $shots)"
fi

# --- a batch released through COM, checked from Linux -----------------------
batch_for() {  # batch_for DATABASE LIBRARY OUT
  python3 - "$source_dir/samples/invoices.json" "$1" "$2" "$3" <<'PY'
import json, sys
batch = json.load(open(sys.argv[1]))
batch["setup"]["connectString"] = "odbc:DRIVER={SQLite3};Database=" + sys.argv[2]
batch["setup"]["customProperties"]["serverAPILibrary"] = sys.argv[3]
json.dump(batch, open(sys.argv[4], "w"), indent=1)
PY
}
rows() { sqlite3 -separator '|' "$1" "$2"; }

com_db=$work/com.db
run_native bridge create --connect "odbc:DRIVER={SQLite3};Database=$com_db" --library MAIN \
  >>"$work/logs/bridge.log" 2>&1
batch_for "$com_db" MAIN "$work/com.json"
run_wine "$exe" release --batch "$(winepath "$work/com.json")" --com \
  --log-dir "$(winepath "$work/com-log")" >"$work/logs/com-release.log" 2>&1
echo "exit status $?" >>"$work/logs/com-release.log"
documents=$(grep -c '"pdfFileName"' "$work/com.json")
if grep -q "^$documents of $documents documents released" "$work/logs/com-release.log" &&
   [ "$(rows "$com_db" 'SELECT COUNT(*) FROM UAGYCPP')" = "$documents" ]; then
  pass "release --com stores one header per document ($documents)"
else
  fail "release --com: $(tail -n 3 "$work/logs/com-release.log" | tr '\n' ' ')"
fi
orphans=$(rows "$com_db" 'SELECT COUNT(*) FROM UAG0CPP WHERE G0ABNV NOT IN (SELECT GYABNV FROM UAGYCPP)')
numbers=$(rows "$com_db" 'SELECT COUNT(DISTINCT GYABNV) FROM UAGYCPP WHERE LENGTH(GYABNV) = 15')
lines=$(rows "$com_db" 'SELECT COUNT(*) FROM UAG0CPP')
if [ "$orphans" = 0 ] && [ "$numbers" = "$documents" ] && [ "$lines" -ge "$documents" ]; then
  pass "every line carries its header's 15-digit transaction number ($lines lines)"
else
  fail "lines and headers disagree: $orphans lines without header, $numbers numbers, $lines lines"
fi
if grep -q "Document Released Successfully" "$work"/com-log/ERR_*.txt 2>/dev/null; then
  pass "the release's messages reach the host's log through LogError"
else
  fail "no 'Document Released Successfully' in $work/com-log"
fi

# The same batch released in-process by mirdane.exe gives the same rows.
local_db=$work/local.db
run_native bridge create --connect "odbc:DRIVER={SQLite3};Database=$local_db" --library MAIN \
  >>"$work/logs/bridge.log" 2>&1
batch_for "$local_db" MAIN "$work/local.json"
run_wine "$exe" release --batch "$(winepath "$work/local.json")" \
  --log-dir "$(winepath "$work/local-log")" >"$work/logs/local-release.log" 2>&1
# Transaction numbers differ by nature; everything else must be the same.
without_numbers() {  # without_numbers DATABASE: its rows with the numbers blanked
  cp "$1" "$1.blank"
  # Each number becomes its header's place in the table (numbers are unique).
  sqlite3 "$1.blank" "UPDATE UAG0CPP SET G0ABNV = (SELECT rowid FROM UAGYCPP WHERE GYABNV = G0ABNV);
                      UPDATE UAGYCPP SET GYABNV = rowid;"
  rows "$1.blank" 'SELECT * FROM UAGYCPP ORDER BY rowid; SELECT * FROM UAG0CPP ORDER BY rowid'
}
if [ "$(rows "$local_db" 'SELECT COUNT(*) FROM UAGYCPP')" = "$documents" ] &&
   [ "$(without_numbers "$com_db")" = "$(without_numbers "$local_db")" ]; then
  pass "through COM and in-process the same rows are stored"
else
  fail "the rows through COM differ from those released in-process"
fi

# The user's locale is the user's: under a German one the same rows again.
german_db=$work/german.db
run_native bridge create --connect "odbc:DRIVER={SQLite3};Database=$german_db" --library MAIN \
  >>"$work/logs/bridge.log" 2>&1
batch_for "$german_db" MAIN "$work/german.json"
ODBCSYSINI=$work/odbc ODBCINI=$work/odbc/odbc.ini "${german[@]}" "$loader" "$exe" release \
  --batch "$(winepath "$work/german.json")" --com --log-dir "$(winepath "$work/german-log")" \
  >"$work/logs/german-release.log" 2>&1
if [ "$(rows "$german_db" 'SELECT COUNT(*) FROM UAGYCPP')" = "$documents" ] &&
   [ "$(without_numbers "$german_db")" = "$(without_numbers "$com_db")" ]; then
  pass "under a German user locale the release through COM stores the same rows"
else
  fail "under a German user locale the rows differ: $(tail -n 2 "$work/logs/german-release.log" | tr '\n' ' ')"
fi

# A host whose objects a script engine made (VBScript classes, reached only
# through IDispatchEx) releases a document; an unset DocumentData is Nothing.
vbs_db=$work/vbscript.db
run_native bridge create --connect "odbc:DRIVER={SQLite3};Database=$vbs_db" --library MAIN \
  >>"$work/logs/bridge.log" 2>&1
run_wine cscript //nologo "$(winepath "$source_dir/tests/wine/script_host/release_host.vbs")" \
  "$vbs_db" >"$work/logs/vbscript-host.log" 2>&1
vbs_log=$(tr -d '\r' <"$work/logs/vbscript-host.log")
if [ "$(tail -n 1 <<<"$vbs_log")" = done ] &&
   grep -qx 'unset DocumentData is Nothing: True' <<<"$vbs_log" &&
   grep -qx 'DocumentData reads back as the host.s object: True' <<<"$vbs_log" &&
   grep -qx 'ReleaseDoc: 0' <<<"$vbs_log" &&
   [ "$(rows "$vbs_db" "SELECT COUNT(*) FROM UAGYCPP WHERE GYALNA = 'VBS-1' AND GYHBCD = 'V1001'")" = 1 ] &&
   [ "$(rows "$vbs_db" "SELECT COUNT(*) FROM UAG0CPP WHERE G0FRNA = 'Rent'")" = 1 ]; then
  pass "a VBScript host (objects reached through IDispatchEx) releases a document"
else
  fail "the VBScript host: $(tail -n 4 <<<"$vbs_log" | tr '\n' ' ')"
fi

# A document that fails is reported through the host objects, exit 1.
bad_db=$work/bad.db
batch_for "$bad_db" NOLIB "$work/bad.json"
run_wine "$exe" release --batch "$(winepath "$work/bad.json")" --com \
  --log-dir "$(winepath "$work/bad-log")" >"$work/logs/bad-release.log" 2>&1
status=$?
if [ "$status" = 1 ] && grep -q "^0 of $documents documents released" "$work/logs/bad-release.log" &&
   grep -q "NOLIB" "$work"/bad-log/ERR_*.txt 2>/dev/null; then
  pass "a missing library fails every document with the reason in the log"
else
  fail "a missing library: exit $status, $(tail -n 2 "$work/logs/bad-release.log" | tr '\n' ' ')"
fi

# The release ledger through COM: each document known by the UniqueDocumentID
# the host offers (asked for by name), written once however often it is sent.
ledger_db=$work/ledger.db
run_native bridge create --ledger --connect "odbc:DRIVER={SQLite3};Database=$ledger_db" \
  --library MAIN >>"$work/logs/bridge.log" 2>&1
batch_for "$ledger_db" MAIN "$work/ledger.json"
python3 - "$work/ledger.json" <<'PY'
import json, sys
batch = json.load(open(sys.argv[1]))
batch["setup"]["customProperties"]["releaseLedger"] = "1"
for number, document in enumerate(batch["documents"], 1):
    document["uniqueDocumentId"] = "WINE-%d" % number
json.dump(batch, open(sys.argv[1], "w"), indent=1)
PY
for round in 1 2; do
  run_wine "$exe" release --batch "$(winepath "$work/ledger.json")" --com \
    --log-dir "$(winepath "$work/ledger-log")" >"$work/logs/ledger-release-$round.log" 2>&1
done
expected_ids=$(seq 1 "$documents" | sed 's/^/WINE-/' | sort | tr '\n' ' ')
stored_ids=$(rows "$ledger_db" "SELECT LGDOC FROM MIRDLEDGER WHERE LGSTAT = 'C'" | sort | tr '\n' ' ')
if grep -q "^$documents of $documents documents released" "$work/logs/ledger-release-2.log" &&
   [ "$stored_ids" = "$expected_ids" ] &&
   [ "$(rows "$ledger_db" 'SELECT COUNT(*) FROM UAGYCPP')" = "$documents" ] &&
   grep -q "released before as transaction" "$work"/ledger-log/ERR_*.txt 2>/dev/null; then
  pass "with the release ledger, a batch sent twice through COM is written once, known by UniqueDocumentID"
else
  fail "release ledger through COM: ledger holds '$stored_ids', $(tail -n 2 "$work/logs/ledger-release-2.log" | tr '\n' ' ')"
fi

# --- removal -------------------------------------------------------------------
run_wine regsvr32 /s /u "$dll"
if ! run_wine reg query "$clsid_key" >/dev/null 2>&1 &&
   run_wine reg query 'HKCR\CLSID' >/dev/null 2>&1; then
  pass "regsvr32 /u removes the class and keeps HKCR\\CLSID"
else
  fail "regsvr32 /u left the class key, or took the root"
fi
run_wine "$exe" release --batch "$(winepath "$work/com.json")" --com \
  >"$work/logs/unregistered.log" 2>&1
status=$?
if [ "$status" = 2 ] && grep -q "not registered" "$work/logs/unregistered.log"; then
  pass "an unregistered script is named, and nothing is released (exit 2)"
else
  fail "release --com without registration: exit $status"
fi

# --- the Windows Installer package ----------------------------------------------
# Its install, upgrade and removal, compared with what regsvr32 writes, in a
# prefix of its own where no build is registered (kept between runs, which
# leave it clean), counted by its own runner.
msi_log=$work/logs/msi.log
ODBCSYSINI=$work/odbc ODBCINI=$work/odbc/odbc.ini tests/wine/msi/run.sh "$mingw" "$arch" "$work/msi" \
  "$build/wineprefix-msi" >"$msi_log" 2>&1
msi_counts=$(sed -n 's/^msi-wine ([a-z0-9_]*): \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$msi_log" | tail -n 1)
if [ -n "$msi_counts" ]; then
  read -r ok bad <<<"$msi_counts"
  passed=$((passed + ok))
  failed=$((failed + bad))
  echo "msi: $ok passed, $bad failed"
  [ "$bad" -eq 0 ] || grep -A 20 '^FAIL' "$msi_log" | head -n 40
else
  fail "the MSI suite did not finish (see $msi_log)"
  tail -n 10 "$msi_log"
fi
run_wine regsvr32 /s "$dll"

# --- the task dialog, on the platform's dialog and on the emulation ---------
# It runs under Xvfb with its own wineserver, so this run's server stops first.
/usr/lib/wine/wineserver -k >/dev/null 2>&1
/usr/lib/wine/wineserver -w >/dev/null 2>&1
# Runs the task dialog program (all scenarios, or the one named) and counts
# its checks: run_taskdialog LABEL SCREENSHOT_DIR LOG [SCENARIO]
run_taskdialog() {
  local label=$1 shots=$2 log=$3 scenario=${4:-} td checks bad
  TASKDIALOG_WINEPREFIX=$WINEPREFIX tests/wine/taskdialog/run.sh \
    "$mingw/tests/wine/taskdialog/taskdialog_wine_test.exe" "$shots" $scenario >"$log" 2>&1
  td=$(sed -n 's/^taskdialog-wine: \([0-9]*\) checks, \([0-9]*\) failed$/\1 \2/p' "$log" | tail -n 1)
  if [ -n "$td" ]; then
    read -r checks bad <<<"$td"
    passed=$((passed + checks - bad))
    failed=$((failed + bad))
    echo "$label: $((checks - bad)) passed, $bad failed (screenshots in build/${shots#$build/})"
    [ "$bad" -eq 0 ] || grep -i 'fail' "$log" | head -n 30
  else
    fail "the task dialog's Wine test ($label) did not finish (see $log)"
    tail -n 10 "$log"
  fi
}
run_taskdialog taskdialog "$build/screenshots/taskdialog-$arch" "$work/logs/taskdialog.log"
# Its scenario with both icons again at 144 DPI: the emulation's icons and
# margins grow with the screen's DPI as its text does.
set_dpi 144
/usr/lib/wine/wineserver -w >/dev/null 2>&1
run_taskdialog "taskdialog at 144 DPI" "$build/screenshots/taskdialog-$arch-144dpi" \
  "$work/logs/taskdialog-144dpi.log" radios
set_dpi 96
/usr/lib/wine/wineserver -w >/dev/null 2>&1

finish
