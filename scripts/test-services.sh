#!/usr/bin/env bash
# The servers the integration tests talk to, started and stopped by the test
# run itself: a throwaway PostgreSQL cluster on a free loopback port, and the
# ODBC configuration (odbcinst.ini, odbc.ini) that names it and SQLite's
# ODBC driver. Nothing outside DIR is touched.
#
#   test-services.sh setup DIR     fresh cluster and ODBC files, server started
#   test-services.sh start DIR     start the server of an existing cluster again
#   test-services.sh stop DIR      stop the server, keep the cluster
#   test-services.sh teardown DIR  stop the server and remove DIR
#
# DIR/services.env tells the tests what they need (port, role, password,
# the ODBC files). PostgreSQL refuses to run as root: as root the server runs
# as the system user postgres, which owns the cluster.
set -euo pipefail
command=${1:?usage: test-services.sh setup|start|stop|teardown DIR}
dir=${2:?usage: test-services.sh setup|start|stop|teardown DIR}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

say() { echo "test-services: $*"; }
die() { echo "test-services: $*" >&2; exit 1; }

pg_bin() {
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
    say "PostgreSQL is missing; installing the project's packages"
    "$here/install-deps.sh" >&2
    bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  fi
  [ -n "$bin" ] && [ -x "$bin/initdb" ] || die "no PostgreSQL server binaries under /usr/lib/postgresql"
  echo "$bin"
}

# Runs a server command as the user who owns the cluster.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

odbc_driver() {  # odbc_driver PACKAGE LIBRARY
  # The machine's own architecture: with a 32-bit copy of the package also
  # installed (for Wine), the plain name would be ambiguous.
  local path arch
  arch=$(dpkg --print-architecture)
  path=$(dpkg -L "$1:$arch" 2>/dev/null | grep "/$2\$" | head -n 1 || true)
  [ -n "$path" ] || path=$(find "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || echo .)" \
    /usr/lib -name "$2" 2>/dev/null | head -n 1)
  [ -n "$path" ] || die "the ODBC driver $2 (package $1) is missing"
  echo "$path"
}

data_dir() { cat "$dir/data-dir"; }

server_running() {
  [ -f "$dir/data-dir" ] && as_owner "$(pg_bin)/pg_ctl" -D "$(data_dir)" status >/dev/null 2>&1
}

start_server() {
  local bin data
  bin=$(pg_bin)
  data=$(data_dir)
  server_running && return 0
  as_owner "$bin/pg_ctl" -D "$data" -l "$data/../server.log" -w -t 60 start >/dev/null
}

stop_server() {
  [ -f "$dir/data-dir" ] || return 0
  server_running || return 0
  as_owner "$(pg_bin)/pg_ctl" -D "$(data_dir)" -m fast -w -t 60 stop >/dev/null
}

setup() {
  local bin root data port admin_password password
  bin=$(pg_bin)
  stop_server || true
  [ -f "$dir/data-dir" ] && rm -rf "$(dirname "$(data_dir)")"
  rm -rf "$dir/pg" "$dir/odbc" "$dir/services.env" "$dir/data-dir"

  if [ "$(id -u)" -eq 0 ]; then
    id postgres >/dev/null 2>&1 || useradd --system --home-dir /var/lib/postgresql --shell /bin/bash postgres
  fi
  # The cluster lives in DIR, unless the server's user cannot reach DIR (a
  # private home directory); then in a fresh directory under /tmp.
  root="$dir/pg"
  mkdir -p "$root"
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres "$root"
    if ! runuser -u postgres -- test -w "$root"; then
      rm -rf "$root"
      root=$(mktemp -d /tmp/mirdane-pg.XXXXXX)
      chown postgres "$root"
    fi
  fi
  data="$root/data"
  echo "$data" >"$dir/data-dir"

  admin_password=$(od -An -tx1 -N12 /dev/urandom | tr -d ' \n')
  password=$(od -An -tx1 -N12 /dev/urandom | tr -d ' \n')
  printf '%s\n' "$admin_password" >"$root/admin-password"
  [ "$(id -u)" -eq 0 ] && chown postgres "$root/admin-password"
  as_owner "$bin/initdb" -D "$data" -U mirdane_admin --pwfile="$root/admin-password" \
    --auth=scram-sha-256 -E UTF8 --locale=C --no-sync >"$root/initdb.log" 2>&1 \
    || { cat "$root/initdb.log" >&2; die "initdb failed"; }

  # A free loopback port: try a few until the server binds one.
  local tries=0
  while :; do
    port=$((20000 + RANDOM % 40000))
    as_owner tee -a "$data/postgresql.conf" >/dev/null <<CONF
listen_addresses = '127.0.0.1'
port = $port
unix_socket_directories = ''
max_connections = 40
# A throwaway cluster: losing it in a crash costs nothing, and the tests run
# without waiting for the disk on every commit.
fsync = off
synchronous_commit = off
full_page_writes = off
CONF
    if as_owner "$bin/pg_ctl" -D "$data" -l "$root/server.log" -w -t 60 start >/dev/null 2>&1; then
      break
    fi
    tries=$((tries + 1))
    [ $tries -lt 8 ] || { tail -n 20 "$root/server.log" >&2; die "the server would not start"; }
  done

  PGPASSWORD=$admin_password "$bin/psql" -X -q -v ON_ERROR_STOP=1 \
    "host=127.0.0.1 port=$port user=mirdane_admin dbname=postgres" <<SQL
CREATE ROLE xauser LOGIN PASSWORD '$password';
CREATE DATABASE xa OWNER xauser;
SQL

  mkdir -p "$dir/odbc" "$dir/sqlite"
  cat >"$dir/odbc/odbcinst.ini" <<INI
[PostgreSQL Unicode]
Description = PostgreSQL ODBC driver (Unicode)
Driver = $(odbc_driver odbc-postgresql psqlodbcw.so)

[SQLite3]
Description = SQLite3 ODBC driver
Driver = $(odbc_driver libsqliteodbc libsqlite3odbc.so)
INI
  cat >"$dir/odbc/odbc.ini" <<INI
[mirdane_pg]
Driver = PostgreSQL Unicode
Servername = 127.0.0.1
Port = $port
Database = xa

[mirdane_sqlite]
Driver = SQLite3
Database = $dir/sqlite/default.db
INI
  cat >"$dir/services.env" <<ENV
PGPORT=$port
MIRDANE_PG_BIN=$bin
MIRDANE_PG_USER=xauser
MIRDANE_PG_PASSWORD=$password
MIRDANE_PG_DATABASE=xa
MIRDANE_PG_DSN=mirdane_pg
MIRDANE_SQLITE_DSN=mirdane_sqlite
ODBCSYSINI=$dir/odbc
ODBCINI=$dir/odbc/odbc.ini
ENV
  say "PostgreSQL on 127.0.0.1:$port (data in $data), ODBC files in $dir/odbc"
}

case "$command" in
  setup) setup ;;
  start) start_server ;;
  stop) stop_server ;;
  teardown)
    stop_server || true
    if [ -f "$dir/data-dir" ]; then rm -rf "$(dirname "$(data_dir)")"; fi
    rm -rf "$dir"
    ;;
  *) die "unknown command $command" ;;
esac
