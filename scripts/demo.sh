#!/usr/bin/env bash
# One whole job on the embedded default: installs what is needed (Debian 12, as root), builds the
# program, lays out a program folder under build/demo with config.txt, a demo SQLite business
# database and the upload script, starts a local FTP server on loopback that holds today's sample
# order file, runs the program once and shows what it did.
#
#   scripts/demo.sh               on SQLite
#   scripts/demo.sh --sqlserver   the same on SQL Server: a T-SQL server on loopback (see
#                                 tsql_server.sh; SALDOR_BABELFISH names it) with a fresh
#                                 database holding db/sqlserver/business.sql and demo.sql
#
# SALDOR_PACING_MS sets the pacing waits (the program's default is 15000; the demo uses 3000).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
database=sqlite
case "${1:-}" in
"") ;;
--sqlserver) database=sqlserver ;;
*)
  echo "usage: $0 [--sqlserver]" >&2
  exit 2
  ;;
esac
if [ "$database" = sqlserver ] && [ -z "${SALDOR_BABELFISH:-}" ]; then
  echo "demo.sh: no T-SQL server at hand. Set SALDOR_BABELFISH to a Babelfish for PostgreSQL" \
    "build for Debian 12 (the tarball babelfish-debian12-x86_64.tar.xz or the folder it was" \
    "extracted into), e.g. SALDOR_BABELFISH=../shared/babelfish/babelfish-debian12-x86_64.tar.xz" \
    "scripts/demo.sh --sqlserver" >&2
  exit 2
fi

if [ "${SKIP_INSTALL:-}" != 1 ]; then scripts/install-deps.sh; fi
echo "== building"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target saldorauto saldor_rows >/dev/null
rows=$root/build/tests/support/saldor_rows

demo=$root/build/demo
ftp=$root/build/demo-ftp
rm -rf "$demo" "$ftp"
mkdir -p "$demo/temp" "$ftp"

# The program folder: the program, its config.txt, the upload script.
cp build/saldorauto "$demo/"
cp scripts/fileup.sh "$demo/temp/fileup.sh"
chmod +x "$demo/temp/fileup.sh"

# The business database: schema and demo data.
cleanup=()
trap 'for c in "${cleanup[@]}"; do eval "$c"; done' EXIT
if [ "$database" = sqlite ]; then
  connection="Driver=SQLite3;Database=$demo/business.db;"
  sqlite3 "$demo/business.db" ".read db/sqlite/business.sql" ".read db/sqlite/demo.sql"
else
  scripts/tsql_server.sh start "$root/build/demo-tsql"
  cleanup+=("scripts/tsql_server.sh stop '$root/build/demo-tsql'")
  connection=$("$rows" create "$(cat "$root/build/demo-tsql/connection.txt")")
fi
echo "== business database: $connection"
printf '"SaldorAuto","3.4","%s"\r\n' "$connection" >"$demo/config.txt"

# The partner's server, holding today's order file.
today=$(LC_ALL=C date +%d-%b-%Y)
cp scripts/demo_order_file.csv "$ftp/Saldor_to_vendor_$today.csv"
/usr/bin/python3 scripts/ftp_server.py --root "$ftp" --port 0 --port-file "$demo/ftp.port" \
  --log "$demo/ftp.log" --quiet >/dev/null &
cleanup+=("kill $! 2>/dev/null || true")
for _ in $(seq 100); do [ -s "$demo/ftp.port" ] && break; sleep 0.1; done
port=$(cat "$demo/ftp.port")
echo "== partner FTP server on 127.0.0.1:$port holds: $(ls "$ftp")"

export SALDOR_FTP_HOST=127.0.0.1 SALDOR_FTP_PORT=$port SALDOR_PACING_MS=${SALDOR_PACING_MS:-3000}
echo "== running $demo/saldorauto (pacing waits of $SALDOR_PACING_MS ms)"
start=$(date +%s.%N)
set +e
"$demo/saldorauto" >"$demo/run.out" 2>"$demo/run.err"
status=$?
set -e
end=$(date +%s.%N)
# The upload script's lines (its own log's lines, also on the output it shares) come below.
echo "run output (the run-log line, then what each task did):"
{ grep -v '^fileup: ' "$demo/run.out" || true; } | sed 's/^/  /'
printf 'exit status: %s after %s s\n' "$status" "$(awk -v a="$start" -v b="$end" 'BEGIN{printf "%.1f", b - a}')"
if grep -qv '^fileup: ' "$demo/run.err"; then
  echo "error report:"
  grep -v '^fileup: ' "$demo/run.err" | sed 's/^/  /'
fi

# The uploads run on their own; give them a moment to land and be logged.
for _ in $(seq 100); do
  [ "$(grep -c '^received' "$demo/ftp.log" 2>/dev/null || true)" -ge 2 ] &&
    [ "$(grep -c ' sent$' "$demo/temp/fileup.log" 2>/dev/null || true)" -ge 2 ] && break
  sleep 0.1
done

echo
echo "== what the run wrote, in order"
ls -l --time-style=+%H:%M:%S.%3N "$demo"/temp/*.csv "$demo"/Saldor_to_vendor_*.csv 2>/dev/null |
  awk '{print "  " $6 "  " $7}' | sort
echo
echo "== FTP server transfers"
sed 's/^/  /' "$demo/ftp.log" 2>/dev/null || true
echo
echo "== the upload script's log, temp/fileup.log"
sed 's/^/  /' "$demo/temp/fileup.log" 2>/dev/null || true
for f in "$demo"/temp/*.csv; do
  echo
  echo "== $(basename "$f")"
  head -n 12 "$f" | sed 's/^/  /'
done
echo
# Rows of `sql` under a heading of `columns`, as a table.
show() {
  local columns=$1 sql=$2
  { echo "$columns" && "$rows" lines "$connection" "$sql"; } | column -t -s '|' | sed 's/^/  /'
}
echo "== orders imported from Saldor_to_vendor_$today.csv"
show "ID|OrderNumber|OrderDate|ShipTo|ShipToZip|SubTotal|Total|TotalCost" \
  "SELECT ID, OrderNumber, OrderDate, ShipTo, ShipToZip, SubTotal, Total, TotalCost FROM Orders WHERE EnteredBy='SaldorImport' ORDER BY ID"
echo
show "OrderID|ItemNumber|Item|ItemName|Quantity|PriceEach|PriceExt|CostExt|ItemDescription" \
  "SELECT i.OrderID, i.ItemNumber, i.Item, i.ItemName, i.Quantity, i.PriceEach, i.PriceExt,
          i.CostExt, i.ItemDescription
     FROM OrderItems i JOIN Orders o ON o.ID = i.OrderID
    WHERE o.EnteredBy = 'SaldorImport' ORDER BY i.ID"
exit "$status"
