#!/usr/bin/env bash
# The ODBC benchmark: a throwaway PostgreSQL cluster on loopback, documents
# released into it over odbc: against the same INSERTs issued directly
# through ODBC in interleaved rounds; then the same at a distance, through a
# proxy that delays every message (bench/odbc/latency_proxy.h); and the
# cluster removed again.
#   scripts/odbc-bench.sh [NATIVE-BUILD-DIR] [DOCUMENTS] [ROUNDS]
set -euo pipefail
native=${1:-build/native}
documents=${2:-100}
rounds=${3:-5}
cd "$(dirname "$0")/.."
services="$native/bench-services"

scripts/test-services.sh setup "$services" >/dev/null
trap 'scripts/test-services.sh teardown "$services" >/dev/null 2>&1 || true' EXIT
set -a
. "$services/services.env"
set +a
MIRDANE_PASSWORD=$MIRDANE_PG_PASSWORD "$native/bench/odbc/mirdane_odbc_bench" \
  --connect "odbc:DSN=$MIRDANE_PG_DSN" --user "$MIRDANE_PG_USER" \
  --documents "$documents" --rounds "$rounds" --server-port "$PGPORT"
