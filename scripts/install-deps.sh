#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on Debian 12 (run as root).
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps.sh: run as root (it installs Debian packages)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
  build-essential g++ cmake ninja-build clang libclang-rt-14-dev clang-format clang-tidy \
  libgtest-dev googletest libbenchmark-dev \
  unixodbc unixodbc-dev odbcinst libsqliteodbc tdsodbc sqlite3 libsqlite3-dev \
  libcurl4-openssl-dev curl python3 python3-pyftpdlib faketime \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 systemd \
  bsdextrautils libicu72 libxml2 libossp-uuid16 libssl3 libreadline8 zlib1g freetds-bin >/dev/null
# bsdextrautils: column, for the demo's tables; the rest of the last line: what the T-SQL
# server of the SQL Server tests and demo needs (scripts/tsql_server.sh).
# The ODBC drivers register themselves in /etc/odbcinst.ini; make sure the two used here are.
for driver in SQLite3 FreeTDS; do
  if ! odbcinst -q -d -n "$driver" >/dev/null 2>&1; then
    echo "install-deps.sh: ODBC driver $driver is not registered" >&2
    exit 1
  fi
done
