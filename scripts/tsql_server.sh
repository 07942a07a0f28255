#!/usr/bin/env bash
# A throw-away T-SQL server on loopback (Babelfish for PostgreSQL, which speaks SQL Server's TDS),
# for the tests and the SQL Server demo.
#
#   scripts/tsql_server.sh start STATE_DIR   starts a fresh server on free loopback ports
#   scripts/tsql_server.sh stop STATE_DIR    stops it
#
# SALDOR_BABELFISH names the Babelfish tarball (babelfish-debian12-x86_64.tar.xz) or a folder it
# was extracted into. A tarball is extracted once into STATE_DIR/dist and reused while it stays
# the same file. The server's data live in STATE_DIR/data and are made afresh at every start.
#
# On success `start` writes STATE_DIR/connection.txt: one line, the ODBC connection string of the
# server without a database and without the password, e.g.
#   Driver=FreeTDS;Server=127.0.0.1;Port=40123;UID=saldor;TDS_Version=7.4;
# The login's password is "QXV", the one the program always appends ("PWD=QXV;"). Without
# SALDOR_BABELFISH, `start` says so, writes nothing and exits 0; a server that does not start is
# exit status 1.
set -euo pipefail

usage() {
  echo "usage: $0 start|stop STATE_DIR" >&2
  exit 2
}
[ $# -eq 2 ] || usage
action=$1
state=$2

# The folder that holds bin/, lib/, share/ and tools/ of an extracted Babelfish, or nothing.
prefix_in() {
  local dir=$1
  if [ -x "$dir/tools/start.sh" ]; then
    echo "$dir"
  elif [ -x "$dir/babelfish/tools/start.sh" ]; then
    echo "$dir/babelfish"
  fi
}

# A free TCP port on loopback.
free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

case "$action" in
start)
  rm -f "$state/connection.txt"
  if [ -z "${SALDOR_BABELFISH:-}" ]; then
    echo "tsql_server.sh: SALDOR_BABELFISH is not set: no T-SQL server, the SQL Server tests are skipped"
    exit 0
  fi
  mkdir -p "$state"
  state=$(cd "$state" && pwd)
  if [ -d "$SALDOR_BABELFISH" ]; then
    prefix=$(prefix_in "$SALDOR_BABELFISH")
  elif [ -f "$SALDOR_BABELFISH" ]; then
    # Extracted once per state folder; again only when the tarball changed.
    stamp="$(stat -c '%s %Y' "$SALDOR_BABELFISH") $(realpath "$SALDOR_BABELFISH")"
    if [ "$(cat "$state/dist.stamp" 2>/dev/null)" != "$stamp" ] || [ -z "$(prefix_in "$state/dist")" ]; then
      rm -rf "$state/dist" "$state/dist.stamp"
      mkdir -p "$state/dist"
      tar -C "$state/dist" -xJf "$SALDOR_BABELFISH"
      echo "$stamp" >"$state/dist.stamp"
    fi
    prefix=$(prefix_in "$state/dist")
  else
    echo "tsql_server.sh: SALDOR_BABELFISH=$SALDOR_BABELFISH is neither a file nor a folder" >&2
    exit 1
  fi
  if [ -z "$prefix" ]; then
    echo "tsql_server.sh: no Babelfish (tools/start.sh) in $SALDOR_BABELFISH" >&2
    exit 1
  fi
  "$prefix/tools/stop.sh" "$state/data" >/dev/null 2>&1 || true
  tds_port=$(free_port)
  pg_port=$(free_port)
  while [ "$pg_port" = "$tds_port" ]; do pg_port=$(free_port); done
  if ! "$prefix/tools/start.sh" -d "$state/data" -P "$pg_port" -T "$tds_port" -u saldor -w QXV \
    -b master -t 60 >"$state/start.log" 2>&1; then
    echo "tsql_server.sh: the T-SQL server did not start; $state/start.log says:" >&2
    tail -n 20 "$state/start.log" >&2
    exit 1
  fi
  echo "$prefix" >"$state/prefix"
  echo "Driver=FreeTDS;Server=127.0.0.1;Port=$tds_port;UID=saldor;TDS_Version=7.4;" \
    >"$state/connection.txt"
  echo "tsql_server.sh: T-SQL server on 127.0.0.1:$tds_port ($state)"
  ;;
stop)
  rm -f "$state/connection.txt"
  if [ -f "$state/prefix" ] && [ -d "$state/data" ]; then
    "$(cat "$state/prefix")/tools/stop.sh" "$state/data" >/dev/null 2>&1 || true
  fi
  ;;
*)
  usage
  ;;
esac
