#!/usr/bin/env bash
# Runs every check and ends with one line "N passed, M failed".
# Checks: the Windows builds for both targets, the Wine tier of each (the
# real DLL registered and driven through COM; an architecture this machine
# cannot execute is named in a NOTE line), then every test that CTest knows
# (GoogleTest cases and end-to-end scripts).
set -uo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."

passed=0
failed=0
failures=()

check() {  # check NAME COMMAND...
  local name=$1
  shift
  if "$@" >"$build/$name.log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    failures+=("$name (see $build/$name.log)")
    tail -n 30 "$build/$name.log"
  fi
}

mkdir -p "$build"
check cross-i686 make --no-print-directory cross-i686 BUILD="$build"
check cross-x86_64 make --no-print-directory cross-x86_64 BUILD="$build"

# The Windows builds run under Wine; each run's own count joins the total.
notes=()
for arch in x86_64 i686; do
  log="$build/wine-$arch.log"
  scripts/wine-tests.sh "$build" "$arch" >"$log" 2>&1
  status=$?
  grep -E '^(FAIL|wine )' "$log"
  if [ "$status" -eq 3 ]; then
    notes+=("$(tail -n 1 "$log")")
    continue
  fi
  counts=$(tail -n 1 "$log")
  ok=$(echo "$counts" | sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed$/\1/p')
  bad=$(echo "$counts" | sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed$/\2/p')
  if [ -z "$ok" ]; then
    failed=$((failed + 1))
    failures+=("wine $arch did not finish (see $log)")
    tail -n 20 "$log"
    continue
  fi
  passed=$((passed + ok))
  failed=$((failed + bad))
  [ "$bad" -eq 0 ] || failures+=("wine $arch: $bad failed (see $log)")
done

ctest_log="$build/ctest.log"
ctest --test-dir "$build/native" --output-on-failure -j "$(nproc)" --timeout 900 2>&1 | tee "$ctest_log"
total=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$ctest_log" | tail -n 1)
bad=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$ctest_log" | tail -n 1)
if [ -z "$total" ]; then
  failed=$((failed + 1))
  failures+=("ctest did not run")
else
  passed=$((passed + total - bad))
  failed=$((failed + bad))
fi

for n in "${notes[@]}"; do echo "NOTE: $n"; done
for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
