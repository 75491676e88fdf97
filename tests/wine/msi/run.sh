#!/usr/bin/env bash
# The Windows Installer package of one build, installed for real under Wine:
# a silent install writes the registration regsvr32 writes, the installed
# mirdane.exe releases a batch through COM, a newer version replaces it (one
# registration), and removal takes every file and key of ours and nothing
# else. Ends with one line "msi-wine (ARCH): N passed, M failed".
#
#   tests/wine/msi/run.sh MINGW_BUILD_DIR ARCH [WORK_DIR [PREFIX]]     ARCH: x86_64 or i686
#
# The build must have built mirdane_dll and mirdane; the target msi is built
# here. The package is installed into a Wine prefix of its own (PREFIX,
# default WORK_DIR/wineprefix): a machine where no build of the module is
# registered, whatever other tests did. Every run leaves it as it found it,
# so it is kept; one that holds a registration of ours (a run cut short) is
# made afresh. ODBCSYSINI and ODBCINI may name an ODBC set-up with SQLite's
# driver "SQLite3"; else one is made.
set -uo pipefail
cd "$(dirname "$0")/../../.."
source_dir=$PWD
mingw=$(cd "${1:?mingw build folder}" && pwd)
arch=${2:?x86_64 or i686}
work=$(realpath -m "${3:-$mingw/wine-msi}")
rm -rf "$work"
mkdir -p "$work/logs"

case $arch in
  x86_64) loader=/usr/lib/wine/wine64 msi_arch=x64 debian_arch=amd64 program_files='Program Files' ;;
  i686) loader=/usr/lib/wine/wine msi_arch=x86 debian_arch=i386 program_files='Program Files (x86)' ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "PASS: $1"; }
fail() { failed=$((failed + 1)); echo "FAIL: $1"; }
finish() {
  echo "msi-wine ($arch): $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit $?
}

# --- the packages: the build's version and a newer one of the same files ------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$mingw/CMakeCache.txt")
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
old_msi=$mingw/packaging/mirdane-$version-$msi_arch.msi
new_msi=$work/mirdane-$newer-$msi_arch.msi
cmake --build "$mingw" --target msi >"$work/logs/build-msi.log" 2>&1
cmake -DWXS="$mingw/packaging/mirdane-$msi_arch.wxs" -DARCH=$msi_arch -DVERSION="$newer" \
  -DOUTPUT="$new_msi" -P packaging/make-msi.cmake >>"$work/logs/build-msi.log" 2>&1
if [ -f "$old_msi" ] && [ -f "$new_msi" ]; then
  pass "wixl builds mirdane-$version-$msi_arch.msi and a $newer of the same files"
else
  fail "no MSI built (see $work/logs/build-msi.log)"
  tail -n 5 "$work/logs/build-msi.log"
  finish
fi

export WINEPREFIX=$(realpath -m "${4:-$work/wineprefix}") WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
make_prefix() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1
  /usr/lib/wine/wineserver -w >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
  /usr/lib/wine/wine64 wineboot -i >"$work/logs/wineboot.log" 2>&1
}
[ -f "$WINEPREFIX/system.reg" ] || make_prefix
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true' EXIT
if [ -z "${ODBCSYSINI:-}" ]; then
  driver=$(dpkg -L "libsqliteodbc:$debian_arch" 2>/dev/null | grep '/libsqlite3odbc.so$' | head -n 1)
  mkdir -p "$work/odbc"
  printf '[SQLite3]\nDriver = %s\n' "$driver" >"$work/odbc/odbcinst.ini"
  : >"$work/odbc/odbc.ini"
  export ODBCSYSINI=$work/odbc ODBCINI=$work/odbc/odbc.ini
fi
winepath() { echo "Z:$(echo "$1" | tr / '\\')"; }
# The loader of the architecture picks the registry view: 32-bit programs see
# the 32-bit one, as the capture host does.
wine_run() { "$loader" "$@"; }

# Our keys, as regsvr32 writes them; and two of the host's interface keys,
# which must outlive every step.
our_keys=(
  'HKCR\AppID\{EE0D74DB-D178-4352-9CEE-31B29287A6D8}'
  'HKCR\AppID\mirdane.DLL'
  'HKCR\mirdane.LorvenExportConnector'
  'HKCR\mirdane.CppdSetupScript'
  'HKCR\CLSID\{F6C9D062-2E1F-4d80-8002-E9C453675C89}'
  'HKCR\CLSID\{BEFF5447-5D3C-43cc-962C-9691CBE344E3}'
  'HKCR\TypeLib\{9034B620-09CF-49A7-8983-25C6B56C496C}'
)
host_keys=(
  'HKCR\Interface\{D0B556C8-975C-4D36-B855-0DD1AB0B6255}'
  'HKCR\Interface\{5F5E61B2-0B35-4616-BABE-3DCDC12D5E11}'
)
snapshot() {  # snapshot KEY...: each key's values and subkeys, or "absent"
  local key
  for key in "$@"; do
    echo "== $key"
    wine_run reg query "$key" /s 2>/dev/null | tr -d '\r' | sed '/^$/d' || echo absent
  done
}
present_keys() {  # present_keys KEY...: the keys that exist
  local key
  for key in "$@"; do wine_run reg query "$key" >/dev/null 2>&1 && echo "$key"; done
}
# Everything under the machine's classes (both views), as text; but for the
# Windows Installer's own empty roots, which its first install in a new
# prefix makes (a product's keys below them still count).
classes() {
  rm -f "$work/classes.reg"
  /usr/lib/wine/wine64 reg export 'HKLM\Software\Classes' "$(winepath "$work/classes.reg")" /y \
    >/dev/null 2>&1
  iconv -f UTF-16 -t UTF-8 "$work/classes.reg" | tr -d '\r' | sed '/^$/d' |
    grep -vxE '\[HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer(\\(Features|Products|UpgradeCodes))?\]'
}

products() {  # the versions of the installed products named mirdane
  local key
  wine_run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null |
    tr -d '\r' | grep '{' | while read -r key; do
      wine_run reg query "$key" 2>/dev/null | tr -d '\r' |
        awk '/DisplayName/ { $1 = $2 = ""; name = $0 } /DisplayVersion/ { version = $3 }
             END { if (name ~ /mirdane/) print version }'
    done
}

folder=$WINEPREFIX/drive_c/$program_files/mirdane
installed_dll="C:\\$program_files\\mirdane\\mirdane.dll"
if [ -n "$(present_keys "${our_keys[@]}")" ] || [ -e "$folder" ] || [ -n "$(products)" ]; then
  make_prefix
fi
if [ -n "$(present_keys "${our_keys[@]}")" ] || [ -e "$folder" ]; then
  fail "a new prefix holds a registration or a folder of ours: $(present_keys "${our_keys[@]}" | tr '\n' ' ')"
  finish
fi

# The host's interface keys, standing in for its own registration (its library's id is made up).
wine_run reg add "${host_keys[0]}" /ve /d IKfxReleaseScript /f >/dev/null 2>&1
wine_run reg add "${host_keys[0]}\\TypeLib" /ve /d '{A1F1B0A2-1D63-4A4E-8C7E-3B0C5E2F6D10}' /f >/dev/null 2>&1
wine_run reg add "${host_keys[0]}\\ProxyStubClsid32" /ve /d '{00020424-0000-0000-C000-000000000046}' /f >/dev/null 2>&1
wine_run reg add "${host_keys[1]}" /ve /d IKfxReleaseSetupScript /f >/dev/null 2>&1
wine_run reg add "${host_keys[1]}\\TypeLib" /ve /d '{A1F1B0A2-1D63-4A4E-8C7E-3B0C5E2F6D10}' /f >/dev/null 2>&1
host_before=$(snapshot "${host_keys[@]}")

# --- what regsvr32 writes for the module in the folder the package uses ------
mkdir -p "$folder"
cp "$mingw/component/mirdane.dll" "$folder/"
wine_run regsvr32 /s "$installed_dll" >"$work/logs/regsvr32.log" 2>&1
by_regsvr32=$(snapshot "${our_keys[@]}")
wine_run regsvr32 /s /u "$installed_dll" >>"$work/logs/regsvr32.log" 2>&1
rm -rf "$folder"
printf '%s\n' "$by_regsvr32" >"$work/logs/keys-regsvr32.txt"
if [ "$(grep -c '^    (Default)    REG_SZ    .*mirdane\.dll$' <<<"$by_regsvr32")" -ge 3 ] &&
   [ -z "$(present_keys "${our_keys[@]}")" ]; then
  pass "regsvr32 registers (and unregisters) the module at $installed_dll for comparison"
else
  fail "regsvr32 did not register the module at $installed_dll (see $work/logs/regsvr32.log)"
  finish
fi
classes_before=$(classes)

# --- install ------------------------------------------------------------------
wine_run msiexec /i "$(winepath "$old_msi")" /qn >"$work/logs/install.log" 2>&1
expected_files="INSTALL.txt mirdane.dll mirdane.exe mirdane.inf"
if [ "$(ls "$folder" 2>/dev/null | tr '\n' ' ')" = "$expected_files " ]; then
  pass "msiexec /i /qn installs $expected_files into $program_files\\mirdane"
else
  fail "installed files: '$(ls "$folder" 2>/dev/null | tr '\n' ' ')'"
fi
by_msi=$(snapshot "${our_keys[@]}")
printf '%s\n' "$by_msi" >"$work/logs/keys-msi.txt"
if [ "$by_msi" = "$by_regsvr32" ]; then
  pass "the package writes exactly the keys and values regsvr32 writes"
else
  fail "the package's registration differs from regsvr32's:"
  diff "$work/logs/keys-regsvr32.txt" "$work/logs/keys-msi.txt" | head -n 20
fi


release() {  # release NAME: a batch into a new bridge database through the installed program
  local db=$work/$1.db
  # SQLite's driver is a Linux library: it takes the Linux path.
  wine_run "$folder/mirdane.exe" bridge create --connect "odbc:DRIVER={SQLite3};Database=$db" \
    --library MAIN >"$work/logs/$1-bridge.log" 2>&1
  python3 - "$source_dir/samples/invoices.json" "$db" "$work/$1.json" <<'PY'
import json, sys
batch = json.load(open(sys.argv[1]))
batch["setup"]["connectString"] = "odbc:DRIVER={SQLite3};Database=" + sys.argv[2]
batch["setup"]["customProperties"]["serverAPILibrary"] = "MAIN"
json.dump(batch, open(sys.argv[3], "w"), indent=1)
PY
  documents=$(grep -c '"pdfFileName"' "$work/$1.json")
  wine_run "$folder/mirdane.exe" release --batch "$(winepath "$work/$1.json")" --com \
    --log-dir "$(winepath "$work/$1-log")" >"$work/logs/$1-release.log" 2>&1
  grep -q "^$documents of $documents documents released" "$work/logs/$1-release.log" &&
    [ "$(sqlite3 "$db" 'SELECT COUNT(*) FROM UAGYCPP')" = "$documents" ]
}
if release installed; then
  pass "the installed mirdane.exe releases a batch through the installed connector (release --com)"
else
  fail "release --com from the installed folder: $(tail -n 3 "$work/logs/installed-release.log" | tr '\n' ' ')"
fi

# --- a newer version over it ----------------------------------------------------
wine_run msiexec /i "$(winepath "$new_msi")" /qn >"$work/logs/upgrade.log" 2>&1
installed=$(products | tr '\n' ' ')
if [ "$installed" = "$newer " ] && [ "$(snapshot "${our_keys[@]}")" = "$by_regsvr32" ] &&
   [ "$(ls "$folder" 2>/dev/null | tr '\n' ' ')" = "$expected_files " ]; then
  pass "$newer replaces $version: one product, one registration, the same files"
else
  fail "after the upgrade: products '$installed', files '$(ls "$folder" 2>/dev/null | tr '\n' ' ')'"
  snapshot "${our_keys[@]}" | diff "$work/logs/keys-regsvr32.txt" - | head -n 20
fi
if release upgraded; then
  pass "after the upgrade the installed connector releases a batch"
else
  fail "release --com after the upgrade: $(tail -n 3 "$work/logs/upgraded-release.log" | tr '\n' ' ')"
fi
# The older package over the newer one is refused, and changes nothing.
wine_run msiexec /i "$(winepath "$old_msi")" /qn >"$work/logs/downgrade.log" 2>&1
installed=$(products | tr '\n' ' ')
if [ "$installed" = "$newer " ] && [ "$(snapshot "${our_keys[@]}")" = "$by_regsvr32" ]; then
  pass "$version is refused over $newer, which stays installed and registered"
else
  fail "$version over $newer: products '$installed'"
fi
if [ "$(snapshot "${host_keys[@]}")" = "$host_before" ]; then
  pass "the host's interface keys are untouched by install and upgrade"
else
  fail "the host's interface keys changed while installed"
fi

# --- removal ----------------------------------------------------------------------
wine_run msiexec /x "$(winepath "$new_msi")" /qn >"$work/logs/remove.log" 2>&1
left=$(present_keys "${our_keys[@]}")
if [ ! -e "$folder" ] && [ -z "$left" ] && [ -z "$(products)" ]; then
  pass "msiexec /x /qn removes the folder, every key of ours and the product"
else
  fail "after removal: folder $([ -e "$folder" ] && echo kept || echo gone), keys left: $(echo $left), products: $(products | tr '\n' ' ')"
fi
classes_after=$(classes)
printf '%s\n' "$classes_before" >"$work/logs/classes-before.reg"
printf '%s\n' "$classes_after" >"$work/logs/classes-after.reg"
if [ "$classes_after" = "$classes_before" ] &&
   [ "$(snapshot "${host_keys[@]}")" = "$host_before" ]; then
  pass "every class key of the machine is as before the install, the host's interface keys too"
else
  fail "the machine's classes differ from before the install:"
  diff "$work/logs/classes-before.reg" "$work/logs/classes-after.reg" | head -n 20
fi

finish
