#!/usr/bin/env bash
# mirdane catalogue and setup show/edit from the outside: a batch file set up
# on the command line, then released as mapped into a stand-in library.
set -u
mirdane=$1
work=$2
. "$(dirname "$0")/test_lib.sh"
begin_test "$work"
batch=$work/batch.json

out=$("$mirdane" catalogue) || fail "catalogue exited $?"
[ "$(grep -c '^ *[0-9]* *UA' <<<"$out")" -eq 80 ] || fail "catalogue does not list 80 columns: $out"
grep -Eq '^ +52 +UAG0CPP\.G0SSFW +CHAR\(1\) +Prorate charge line code +yes$' <<<"$out" \
  || fail "catalogue line of slot 52: $out"
grep -Eq '^ +10 +UAGYCPP\.GYABNW +DECIMAL\(7, 0\) +Document date +no$' <<<"$out" \
  || fail "catalogue line of slot 10: $out"

"$mirdane" bridge create --connect "sqlite:$work/sys" --library XALIB >/dev/null || fail "bridge create"

cat >"$batch" <<'JSON'
{
  "batchClass": "AP Invoices",
  "documentClass": "Invoice",
  "setup": {
    "password": "s3cret-word",
    "links": [ { "source": "Old", "sourceType": 0, "destination": "UAGYCPP.GYZZZZ" } ],
    "indexFields": ["Vendor", "Reference", "Quantity", "Price"],
    "captureValues": ["Batch Name"]
  },
  "documents": [
    { "indexFields": { "Vendor": "V1001", "Reference": "R-17" },
      "tables": { "Lines": { "Quantity": ["1", "2"], "Price": ["3.50", "4.25"] } },
      "captureValues": { "Batch Name": "B-9" } }
  ]
}
JSON
cp "$batch" "$work/original.json"
unchanged() { cmp -s "$batch" "$work/original.json" || fail "$1: the batch file was changed"; }

out=$("$mirdane" setup show --batch "$batch") || fail "show exited $?"
grep -q "s3cret" <<<"$out" && fail "show prints the password"
grep -q "^Password: *\*\*\*\*\*\*\*\*$" <<<"$out" || fail "show does not mask the password: $out"
grep -Eq '^  \* UAGYCPP\.GYH6CD +Transaction type +none$' <<<"$out" || fail "show: required column: $out"
grep -q "UAGYCPP.GYZZZZ *index:Old" <<<"$out" || fail "show: the foreign link: $out"

# A password written into the server name is masked there too.
cp "$batch" "$work/pwd.json"
"$mirdane" setup edit --batch "$work/pwd.json" --ignore-required \
  --server "odbc:DSN=xa;UID=u;PWD=hunter22;Port=5" >/dev/null 2>&1 || fail "edit --server exited $?"
out=$("$mirdane" setup show --batch "$work/pwd.json") || fail "show exited $?"
grep -q "hunter22" <<<"$out" && fail "show prints the password of the server name: $out"
grep -q "^Server name: *odbc:DSN=xa;UID=u;PWD=\*\*\*\*\*\*\*\*;Port=5$" <<<"$out" ||
  fail "show: the server name: $out"

required=(UAGYCPP.GYABNT=const:AP UAGYCPP.GYASCD=const:01 UAGYCPP.GYF7CD=const:01
          UAGYCPP.GYMBCD=const:PL "Originating unit=const:SCAN" UAG0CPP.G0ABNT=const:AP
          UAG0CPP.G0SSFW=const:0)

err=$("$mirdane" setup edit --batch "$batch" "${required[@]}" 2>&1 >/dev/null)
[ $? -eq 1 ] || fail "an unmapped required column must exit 1"
grep -q "beginning with 'Transaction type'" <<<"$err" || fail "required column message: $err"
unchanged "unmapped required column"
err=$("$mirdane" setup edit --batch "$batch" --field-names "${required[@]}" 2>&1 >/dev/null)
grep -q "beginning with 'UAGYCPP.GYH6CD'" <<<"$err" || fail "required column by field name: $err"

err=$("$mirdane" setup edit --batch "$batch" --ignore-required UAGYCPP.GYQQQQ=none 2>&1 >/dev/null)
[ $? -eq 2 ] || fail "an unknown column must exit 2"
grep -q '"UAGYCPP.GYQQQQ"' <<<"$err" || fail "unknown column message: $err"
err=$("$mirdane" setup edit --batch "$batch" --ignore-required "Narrative=index:Vendr" 2>&1 >/dev/null)
[ $? -eq 2 ] || fail "an unknown index field must exit 2"
grep -q '"Vendr"' <<<"$err" || fail "unknown index field message: $err"
err=$("$mirdane" setup edit --batch "$batch" --ignore-required Unit=const:EA 2>&1 >/dev/null)
[ $? -eq 2 ] || fail "an ambiguous caption must exit 2"
grep -q "UAG0CPP.G0KTCD, UAG0CPP.G0CEAV" <<<"$err" || fail "ambiguous caption message: $err"
unchanged "refused edits"

out=$("$mirdane" setup edit --batch "$batch" --server "sqlite:$work/sys" --library XALIB \
        --user XAUSER "${required[@]}" "Transaction type=index:Reference" \
        UAGYCPP.GYHBCD=index:Vendor UAGYCPP.GYDHNA=value:"Batch Name" \
        UAG0CPP.G0AAQT=index:Quantity Price=index:Price 2>&1) || fail "edit exited $?: $out"
sed -n '/"documents"/,$p' "$batch" | cmp -s - <(sed -n '/"documents"/,$p' "$work/original.json") \
  || fail "the documents were touched"
grep -q '"password": "s3cret-word"' "$batch" || fail "the password was not kept"
grep -q "GYZZZZ" "$batch" && fail "the foreign link was not dropped"
grep -q '"serverAPILibrary": "XALIB"' "$batch" || fail "the library was not stored"

out=$("$mirdane" setup show --batch "$batch")
grep -Eq 'UAGYCPP\.GYDHNA +Transaction narrative +value:Batch Name' <<<"$out" || fail "show after edit: $out"

# The ledger switch as the General page's box: on stores "1", off removes it,
# and a switch left alone keeps the file's bytes.
cp "$batch" "$work/before-ledger.json"
"$mirdane" setup edit --batch "$batch" --release-ledger off >/dev/null 2>&1 || fail "ledger off (never on) failed"
cmp -s "$batch" "$work/before-ledger.json" || fail "switching off an absent ledger changed the file"
"$mirdane" setup edit --batch "$batch" --release-ledger on >/dev/null 2>&1 || fail "ledger on failed"
grep -q '"releaseLedger": "1"' "$batch" || fail "ledger on did not store releaseLedger 1"
"$mirdane" setup edit --batch "$batch" --release-ledger off >/dev/null 2>&1 || fail "ledger off failed"
grep -q 'releaseLedger' "$batch" && fail "ledger off left releaseLedger in the file"

out=$("$mirdane" release --batch "$batch" --log-dir "$work/logs" 2>&1) || fail "release exited $?: $out"
grep -q "1 of 1 document released" <<<"$out" || fail "release: $out"
out=$("$mirdane" bridge show --connect "sqlite:$work/sys" --library XALIB)
grep -Eq '\| AP +\| 01 +\| 01 +\| R-17 +\| PL +\| V1001 +\| B-9 +\| SCAN' <<<"$out" || fail "header row: $out"
grep -Eq '\| 1 +\| AP +\| 1\.0000 +\| 3\.5000 +\| 0 ' <<<"$out" || fail "charge line 1: $out"
grep -Eq '\| 2 +\| AP +\| 2\.0000 +\| 4\.2500 +\| 0 ' <<<"$out" || fail "charge line 2: $out"

cp "$batch" "$work/saved.json"
out=$("$mirdane" setup edit --batch "$batch" --ignore-required UAGYCPP.GYH6CD=const: 2>&1) \
  || fail "--ignore-required exited $?: $out"
grep -q "required column UAGYCPP.GYH6CD (Transaction type) not mapped" <<<"$out" \
  || fail "--ignore-required warning: $out"
grep -q "UAGYCPP.GYH6CD" "$batch" && fail "an empty text constant was stored"

# A file nested far too deep is refused where the limit is passed, unchanged.
deep="$work/deep.json"
{ printf '{"setup": {"name": "x"},\n"extra":\n'; head -c 100000 /dev/zero | tr '\0' '['; } >"$deep"
cp "$deep" "$work/deep-original.json"
err=$("$mirdane" setup edit --batch "$deep" --name y 2>&1 >/dev/null)
[ $? -eq 2 ] || fail "a file nested too deep must exit 2"
grep -q "deep.json:3: not valid JSON: lists and objects are nested deeper than 64 levels" <<<"$err" ||
  fail "deep nesting message: $err"
cmp -s "$deep" "$work/deep-original.json" || fail "the deep file was changed"
"$mirdane" release --batch "$deep" >/dev/null 2>&1
[ $? -eq 2 ] || fail "release of a file nested too deep must exit 2"

[ $failures -eq 0 ] && echo "setup cli: all checks passed"
exit $failures
