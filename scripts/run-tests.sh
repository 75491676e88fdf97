#!/usr/bin/env bash
# Runs every check and ends with one line "N passed, M failed".
# Checks: the Windows builds for both targets, the Wine tier of each (the
# real DLL registered and driven through COM; an architecture this machine
# cannot execute is named in a NOTE line), then every test that CTest knows
# (GoogleTest cases, end-to-end scripts and the replay of the fuzz corpora),
# once in the native build and once built with AddressSanitizer and
# UndefinedBehaviorSanitizer.
#
# Each stage says when it starts and when it ends, with the time it took;
# a stage that runs longer than a minute says every minute where it is.
# Its whole output goes to BUILD/<stage>.log. The Wine tiers (one process at
# a time, mostly waiting on windows) run beside the builds, which use every
# core.
set -uo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
mkdir -p "$build"

passed=0
failed=0
failures=()
notes=()
declare -A pids

clock() { local s=$SECONDS; printf '[%2d:%02d]' $((s / 60)) $((s % 60)); }
took() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

# start NAME COMMAND...: runs a stage in the background; its end line is
# printed the moment it ends, its exit status kept in BUILD/NAME.status.
start() {
  local name=$1
  shift
  echo "$(clock) start $name"
  (
    begun=$SECONDS
    "$@" >"$build/$name.log" 2>&1
    status=$?
    echo "$status" >"$build/$name.status"
    if [ "$status" -eq 0 ]; then outcome=ok; else outcome="exit $status"; fi
    echo "$(clock) end   $name: $outcome after $(took $((SECONDS - begun)))"
  ) &
  pids[$name]=$!
}

# progress NAME: where a running stage is (a build's [n/N], else its last line)
progress() {
  local line
  line=$(grep -E '^\[[0-9]+/[0-9]+\]' "$build/$1.log" 2>/dev/null | tail -n 1 | cut -d ' ' -f 1)
  [ -n "$line" ] || line=$(tail -n 1 "$build/$1.log" 2>/dev/null | cut -c 1-70)
  echo "$line"
}

# await NAME...: waits for the stages, saying every minute where each is;
# returns the exit status of the last one named.
await() {
  local name ticks=0 running
  while :; do
    running=()
    for name in "$@"; do
      kill -0 "${pids[$name]}" 2>/dev/null && running+=("$name")
    done
    [ "${#running[@]}" -eq 0 ] && break
    sleep 1
    ticks=$((ticks + 1))
    if [ $((ticks % 60)) -eq 0 ]; then
      for name in "${running[@]}"; do echo "$(clock)       $name: $(progress "$name")"; done
    fi
  done
  for name in "$@"; do wait "${pids[$name]}" 2>/dev/null; done
  return "$(cat "$build/$name.status" 2>/dev/null || echo 1)"
}

# stage NAME COMMAND...: one check that passes or fails as a whole.
stage() {
  local name=$1
  start "$@"
  if ! await "$name"; then
    failed=$((failed + 1))
    failures+=("$name (see $build/$name.log)")
    tail -n 30 "$build/$name.log"
  else
    passed=$((passed + 1))
  fi
}

# count_wine ARCH: the counts of a finished Wine tier join the total.
count_wine() {
  local arch=$1 log="$build/wine-$1.log" status counts ok bad
  status=$(cat "$build/wine-$arch.status" 2>/dev/null || echo 1)
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
    return
  fi
  passed=$((passed + ok))
  failed=$((failed + bad))
  [ "$bad" -eq 0 ] || failures+=("wine $arch: $bad failed (see $log)")
}

# count_ctest NAME: the counts of a finished CTest stage join the total.
count_ctest() {
  local log="$build/$1.log" total bad
  grep -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*' "$log"
  total=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log" | tail -n 1)
  bad=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  if [ -z "$total" ]; then
    failed=$((failed + 1))
    failures+=("$1 did not run (see $log)")
  else
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    [ "$bad" -eq 0 ] || failures+=("$1: $bad failed (see $log)")
  fi
}
ctest_in() { ctest --test-dir "$1" --output-on-failure -j "$(nproc)" --timeout 900; }

stage deps scripts/install-deps.sh
stage native-build make --no-print-directory build BUILD="$build"
stage cross-x86_64 make --no-print-directory cross-x86_64 BUILD="$build"

# The 64-bit Wine tier beside the 32-bit build; the two tiers share one
# Wine prefix, so the 32-bit one follows the 64-bit one.
start wine-x86_64 scripts/wine-tests.sh "$build" x86_64
stage cross-i686 make --no-print-directory cross-i686 BUILD="$build"
await wine-x86_64
count_wine x86_64
start wine-i686 scripts/wine-tests.sh "$build" i686

start ctest "ctest_in" "$build/native"
await ctest
count_ctest ctest

# The same suites built with the sanitizers: every report ends the program
# (and so fails its test). The only leaks let pass are those an ODBC driver's
# own module leaves behind, named in tests/sanitizers/lsan.supp.
sanitized="$build/asan"
stage sanitize-build sh -c "cmake -S . -B '$sanitized' -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG='-O1 -g' -DMIRDANE_SANITIZE=ON && cmake --build '$sanitized'"
if [ -f "$sanitized/build.ninja" ]; then
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0
  start ctest-sanitize ctest_in "$sanitized"
  await ctest-sanitize
  count_ctest ctest-sanitize
fi

await wine-i686
count_wine i686

for n in "${notes[@]}"; do echo "NOTE: $n"; done
for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "$(clock) all stages ended"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
