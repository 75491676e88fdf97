#!/usr/bin/env bash
# make fuzz: builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for a bounded time, starting
# from its seed corpus. Prints the executions and crashes of each target; an
# input that fails a target is kept in fuzz/crashes/<target>/, where the test
# suites replay it from then on.
#   FUZZ_SECONDS  how long each target runs (default 60)
#   FUZZ_TARGETS  which targets (default: all)
set -uo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-"batch_file setup_edit connection values"}
dir="$build/fuzz"

CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMIRDANE_FUZZ=ON -DMIRDANE_WERROR=OFF >"$build/fuzz-configure.log" 2>&1 ||
  { cat "$build/fuzz-configure.log"; exit 1; }
cmake --build "$dir" -j "${JOBS:-2}" || exit 1

status=0
for target in $targets; do
  work="$dir/corpus/$target"
  crashes="fuzz/crashes/$target"
  mkdir -p "$work" "$crashes"
  log="$dir/$target.log"
  # The working corpus grows across runs; the seeds come first.
  "$dir/fuzz/${target}_fuzz" "$work" "fuzz/corpus/$target" -max_total_time="$seconds" \
    -print_final_stats=1 -max_len=65536 -rss_limit_mb=2048 -timeout=20 \
    -artifact_prefix="$crashes/" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  found=$(grep -c '^artifact_prefix\|Test unit written to' "$log")
  echo "$target: ${runs:-0} executions in ${seconds} s, $found crashes (exit $rc; log $log)"
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
    status=1
    grep -m 5 -E 'ERROR|check failed|SUMMARY|Test unit written' "$log"
  fi
done
exit $status
