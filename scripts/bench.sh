#!/usr/bin/env bash
# Runs the benchmarks. Each prints its figures against a baseline measured in
# the same run, so the ratios hold whatever machine runs them.
set -euo pipefail
native=${1:-build/native}
cd "$(dirname "$0")/.."
"$native/bench/mirdane_release_bench" --mirdane "$native/cli/mirdane"
echo
"$native/bench/mirdane_reader_bench"
echo
scripts/odbc-bench.sh "$native"
echo
scripts/com-bench.sh "$(dirname "$native")"
