# Sourced by the command-line tests: a fresh work folder, failures counted,
# and the test services' PostgreSQL.

# begin_test WORK: WORK emptied and made; no failure yet.
begin_test() {
  rm -rf "$1" && mkdir -p "$1"
  failures=0
}

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# load_services DIR: the settings of the services the test run started.
load_services() {
  [ -f "$1/services.env" ] || { echo "FAIL: the test services are not set up"; exit 1; }
  set -a
  . "$1/services.env"
  set +a
}

# pg_sql [PSQL OPTION ...] SQL: one statement in the test database.
pg_sql() {
  local sql=${*: -1}
  PGPASSWORD=$MIRDANE_PG_PASSWORD "$MIRDANE_PG_BIN/psql" -X -q -v ON_ERROR_STOP=1 "${@:1:$#-1}" \
    "host=127.0.0.1 port=$PGPORT user=$MIRDANE_PG_USER dbname=$MIRDANE_PG_DATABASE" -c "$sql"
}
