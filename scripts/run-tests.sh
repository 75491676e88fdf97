#!/usr/bin/env bash
# Runs every check and ends with one line "N passed, M failed".
# Checks: the cross-compilation of the portable core for both Windows targets,
# then every test that CTest knows (GoogleTest cases and end-to-end scripts).
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

for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
