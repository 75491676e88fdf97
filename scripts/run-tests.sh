#!/usr/bin/env bash
# Runs every check and ends with one line "N passed, M failed".
# Checks: the Windows builds for both targets, the Wine tier of each (the
# real DLL registered and driven through COM; an architecture this machine
# cannot execute is named in a NOTE line), then every test that CTest knows
# (GoogleTest cases, end-to-end scripts and the replay of the fuzz corpora),
# once in the native build and once built with AddressSanitizer and
# UndefinedBehaviorSanitizer.
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
  counts=$(tail -n 1 "$log")
  if [ "$status" -eq 3 ]; then
    # Not runnable here: the checks of the built files still count.
    notes+=("$counts")
    counts=$(tail -n 2 "$log" | head -n 1 | sed 's/^wine [a-z0-9_]*: //; s/ (the built files only)$//')
  fi
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

run_ctest() {  # run_ctest BUILD-DIR LOG-NAME
  local log="$build/$2"
  ctest --test-dir "$1" --output-on-failure -j "$(nproc)" --timeout 900 2>&1 | tee "$log"
  local total bad
  total=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log" | tail -n 1)
  bad=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  if [ -z "$total" ]; then
    failed=$((failed + 1))
    failures+=("ctest in $1 did not run (see $log)")
  else
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
}

run_ctest "$build/native" ctest.log

# The same suites built with the sanitizers: every report ends the program
# (and so fails its test). The only leaks let pass are those an ODBC driver's
# own module leaves behind, named in tests/sanitizers/lsan.supp.
sanitized="$build/asan"
check sanitize-build sh -c "cmake -S . -B '$sanitized' -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG='-O1 -g' -DMIRDANE_SANITIZE=ON && cmake --build '$sanitized'"
if [ -f "$sanitized/build.ninja" ]; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0 \
    run_ctest "$sanitized" ctest-sanitize.log
fi

for n in "${notes[@]}"; do echo "NOTE: $n"; done
for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
