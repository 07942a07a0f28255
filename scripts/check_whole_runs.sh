#!/usr/bin/env bash
# The whole job, done once by each build on each database from the same inputs, and the runs
# checked against one another: the Linux build on SQLite and on SQL Server, the Windows build
# under wine on SQLite and on SQL Server. Each run gets a program folder laid out by cmake
# --install whose name holds a blank and "ü", with config.txt, the demo business database (a copy
# of one SQLite file, or a fresh database on a T-SQL server) and a local FTP server on loopback
# holding today's sample order file. Each run must write both exports, hand both to its upload
# script, fetch the order file and import it, and say so on its output; started again the same
# day, with the file gone from the server, it must create no order twice. Then every run must have written the export files
# of the Linux build on SQLite, byte for byte (except that the rows of one order line may come in
# any order, as the order status query leaves them), and the same rows in every table
# (saldor_rows dump; Orders.DateAdded left out); the two SQL Server runs also the same rows in the
# tables only SQL Server has (OrdersAudit, its AuditDate left out).
#
#   scripts/check_whole_runs.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
#
# The SQL Server runs need SALDOR_BABELFISH (see tsql_server.sh), and start a T-SQL server of
# their own; without it they are left out, and the script says so. Wine has no curl.exe, so
# fileup.bat is given a stand-in (tests/transfer/curl_standin.c, built here with mingw-w64) that
# records its calls instead of sending; the Linux runs' fileup.sh sends to the FTP server with the
# real curl. WINEPREFIX is used when set; otherwise a prefix in the Windows build folder, made on
# the first run. Every run takes today's date (libfaketime does not reach a program that wine
# starts).
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=$(realpath "${1:?usage: check_whole_runs.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR}")
windows_build=$(realpath "${2:?usage: check_whole_runs.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR}")
export LC_ALL=C.UTF-8 WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$windows_build/wine}
if [ ! -f "$WINEPREFIX/system.reg" ]; then wineboot -i >/dev/null 2>&1; fi
started=$(date +%s)
rows=$linux_build/tests/support/saldor_rows

work=$windows_build/whole-run
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() {
  echo "check_whole_runs.sh: FAILED: $*" >&2
  failures=$((failures + 1))
}
windows() { printf 'Z:%s' "${1//\//\\}"; }

x86_64-w64-mingw32-gcc -municode -O2 -Wall -Wextra -Werror -o "$work/curl.exe" \
  tests/transfer/curl_standin.c
sqlite3 "$work/business.db" ".read db/sqlite/business.sql" ".read db/sqlite/demo.sql"
today=$(date +%d-%b-%Y)
tomorrow=$(date -d tomorrow +%d-%b-%Y)
order_file=Saldor_to_vendor_$today.csv
status_file=Vendor_to_saldor_$tomorrow.csv
exports=(saldor_available_inventory.csv "$status_file")

stop_servers() {
  for pid in "$work"/*/ftp.pid; do [ -f "$pid" ] && kill "$(cat "$pid")" 2>/dev/null || true; done
  scripts/tsql_server.sh stop "$work/tsql-server"
}
trap stop_servers EXIT

runs=(linux-sqlite windows-sqlite)
if [ -n "${SALDOR_BABELFISH:-}" ]; then
  scripts/tsql_server.sh start "$work/tsql-server" >/dev/null
  server=$(cat "$work/tsql-server/connection.txt")
  runs+=(linux-sqlserver windows-sqlserver)
else
  echo "check_whole_runs.sh: SALDOR_BABELFISH is not set: the runs on SQL Server are left out"
fi

# Lays out the program folder of run `name` (platform-database), makes its database, starts its
# FTP server and runs the program once; leaves the run's connection string, output, status and
# time in the run's folder.
run() {
  local name=$1 base="$work/$1" build=$linux_build connection
  local folder="$base/program dir ü"
  if [ "${name%-*}" = windows ]; then build=$windows_build; fi
  mkdir -p "$folder" "$base/ftp"
  cmake --install "$build" --prefix "$folder" >/dev/null
  if [ "${name#*-}" = sqlite ]; then
    cp "$work/business.db" "$folder/business.db"
    # The SQLite driver is the host's in both builds (under wine through wine's ODBC), so it is
    # given the unix path.
    connection="Driver=SQLite3;Database=$folder/business.db;"
  else
    connection=$("$rows" create "$server")
  fi
  echo "$connection" >"$base/connection"
  printf '"SaldorAuto","3.4","%s"\r\n' "$connection" >"$folder/config.txt"
  cp scripts/demo_order_file.csv "$base/ftp/$order_file"
  /usr/bin/python3 scripts/ftp_server.py --root "$base/ftp" --port 0 --port-file "$base/ftp.port" \
    --log "$base/ftp.log" --quiet >/dev/null 2>&1 &
  echo $! >"$base/ftp.pid"
  for _ in $(seq 100); do [ -s "$base/ftp.port" ] && break; sleep 0.1; done
  start_program "$name"
}

# Runs the program of run `name` once more; leaves its output, status and time in the run's
# folder, the files' names ending in `pass` ("" the first time).
start_program() {
  local name=$1 pass=${2:-} base="$work/$1" program=saldorauto launcher=()
  local folder="$base/program dir ü"
  if [ "${name%-*}" = windows ]; then program=saldorauto.exe launcher=(wine); fi
  local start status=0
  start=$(date +%s.%N)
  # Started from another folder: the program finds its files beside itself. The pacing waits
  # are long enough for one upload to have ended before the next one starts; a run that hangs
  # is ended after 2 minutes.
  (cd "$work" && timeout 120 env SALDOR_FTP_HOST=127.0.0.1 SALDOR_FTP_PORT="$(cat "$base/ftp.port")" \
    SALDOR_PACING_MS=2000 SALDOR_UPLOAD_RETRY_PAUSE_S=0 SALDOR_NO_MESSAGE_BOX=1 \
    SALDOR_CURL="$(windows "$work/curl.exe")" SALDOR_TEST_CURL_RECORD="$(windows "$base/curl.txt")" \
    "${launcher[@]}" "$folder/$program" >"$base/out$pass.txt" 2>"$base/err$pass.txt") || status=$?
  echo "$status" >"$base/status$pass"
  awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN{printf "%.1f", b - a}' >"$base/seconds$pass"
}

# Whether the output file `$1` of a run has a line that holds both `$2` and `$3`.
says() { tr -d '\r' <"$1" | grep -F -- "$2" | grep -qF -- "$3"; }

for name in "${runs[@]}"; do run "$name"; done
[ "$(date +%d-%b-%Y)" = "$today" ] || fail "the runs went past midnight; run the check again"

# Each run by itself: exit status 0, the run log's line, no error report, both exports, both
# uploads, the order file fetched and its three orders imported, a line per task on what it did;
# then a second start the same day, which imports nothing twice.
for name in "${runs[@]}"; do
  base="$work/$name"
  folder="$base/program dir ü"
  [ "$(cat "$base/status")" = 0 ] || fail "$name: exit status $(cat "$base/status"): $(cat "$base/err.txt")"
  grep -q '  - Program Loaded' "$base/out.txt" || fail "$name: no run log line: $(cat "$base/out.txt")"
  if grep -v '^fileup: ' "$base/err.txt" | grep -q .; then fail "$name: $(cat "$base/err.txt")"; fi
  for file in "${exports[@]}"; do
    [ -s "$folder/temp/$file" ] || fail "$name: no temp/$file"
  done
  cmp -s scripts/demo_order_file.csv "$folder/$order_file" || fail "$name: $order_file not fetched"
  count=$("$rows" lines "$(cat "$base/connection")" \
    "SELECT COUNT(*) FROM Orders WHERE EnteredBy = 'SaldorImport'")
  [ "$count" = 3 ] || fail "$name: $count orders imported, wanted 3"
  # The uploads run on their own: a moment for both to be logged.
  for _ in $(seq 200); do
    [ "$(tr -d '\r' 2>/dev/null <"$folder/temp/fileup.log" | grep -c ' sent$')" = 2 ] && break
    sleep 0.1
  done
  for file in "${exports[@]}"; do
    grep -q "${file}\" to 127.0.0.1:[0-9]* attempt 1/3 sent" "$folder/temp/fileup.log" 2>/dev/null ||
      fail "$name: upload of $file not logged as sent: $(cat "$folder/temp/fileup.log" 2>/dev/null)"
  done
  # Where each upload went: a Linux run's to the FTP server, a Windows run's to the curl
  # stand-in, called with the file by its Windows path.
  for file in "${exports[@]}"; do
    if [ "${name%-*}" = linux ]; then
      cmp -s "$folder/temp/$file" "$base/ftp/$file" || fail "$name: $file not on the FTP server as written"
    else
      grep -qF -- "--upload-file \"$(windows "$folder/temp/$file")\"" "$base/curl.txt" 2>/dev/null ||
        fail "$name: curl not called for $file"
    fi
  done
  # After the run-log line, a line per task on what it did.
  says "$base/out.txt" "ExportAvailableInventory: " "records written to " ||
    fail "$name: no line of the inventory export: $(cat "$base/out.txt")"
  says "$base/out.txt" "ExportOrderStatus: " "(the label row and " ||
    fail "$name: no line of the order status export: $(cat "$base/out.txt")"
  says "$base/out.txt" "DownloadOrderFile: " "$order_file fetched from 127.0.0.1, " ||
    fail "$name: no line of the download: $(cat "$base/out.txt")"
  says "$base/out.txt" "ImportOrderFile: " ": 3 orders with 6 lines created; 0 orders left alone" ||
    fail "$name: no line of the import: $(cat "$base/out.txt")"

  # Started again the same day, the order file gone from the server and the fetched copy still
  # beside the program: nothing is imported twice, and the run says so.
  rm -f "$base/ftp/$order_file"
  start_program "$name" 2
  [ "$(cat "$base/status2")" = 0 ] || fail "$name, again: exit status $(cat "$base/status2"): $(cat "$base/err2.txt")"
  says "$base/out2.txt" "DownloadOrderFile: " "no $order_file listed" ||
    fail "$name, again: no line of the download: $(cat "$base/out2.txt")"
  says "$base/out2.txt" "ImportOrderFile: " \
    ": 0 orders with 0 lines created; 3 orders left alone as already imported (4500120, 4500121, 4500122)" ||
    fail "$name, again: no line of the import: $(cat "$base/out2.txt")"
  count=$("$rows" lines "$(cat "$base/connection")" \
    "SELECT COUNT(*) FROM Orders WHERE EnteredBy = 'SaldorImport'")
  [ "$count" = 3 ] || fail "$name, again: $count orders, wanted 3"
  "$rows" dump "$(cat "$base/connection")" >"$base/rows.txt" || fail "$name: rows not read"
done

# The runs against the first: the same export files and the same rows in every table.
# The order status file with the rows of each order line in one order: the query leaves them in
# none.
lines_in_order() {
  awk -F'","' '{ if ($1 FS $2 != last) { group++; last = $1 FS $2 }; printf "%08d\t%s\n", group, $0 }' "$1" |
    sort -t$'\t' -k1,1 -k2 | cut -f2-
}
first=${runs[0]}
for name in "${runs[@]:1}"; do
  cmp -s "$work/$name/program dir ü/temp/${exports[0]}" "$work/$first/program dir ü/temp/${exports[0]}" ||
    fail "$name and $first wrote different ${exports[0]}"
  diff <(lines_in_order "$work/$name/program dir ü/temp/$status_file") \
    <(lines_in_order "$work/$first/program dir ü/temp/$status_file") >/dev/null ||
    fail "$name and $first wrote different $status_file"
  diff "$work/$name/rows.txt" "$work/$first/rows.txt" >"$work/$name/rows.diff" ||
    fail "$name and $first wrote different rows:"$'\n'"$(head -n 40 "$work/$name/rows.diff")"
done
if [ -n "${server:-}" ]; then
  for name in linux-sqlserver windows-sqlserver; do
    "$rows" dump "$(cat "$work/$name/connection")" --all >"$work/$name/all-rows.txt"
  done
  diff "$work/windows-sqlserver/all-rows.txt" "$work/linux-sqlserver/all-rows.txt" \
    >"$work/all-rows.diff" || fail "the two SQL Server runs wrote different rows:"$'\n'"$(head -n 40 "$work/all-rows.diff")"
fi

times=""
for name in "${runs[@]}"; do
  times+=" $name $(cat "$work/$name/seconds") s and $(cat "$work/$name/seconds2") s again,"
done
echo "check_whole_runs.sh: runs:${times%,}; $(grep -c . "$work/$first/rows.txt") lines of rows" \
  "compared; whole check $(($(date +%s) - started)) s"
if [ "$failures" -ne 0 ]; then
  echo "check_whole_runs.sh: $failures failed" >&2
  exit 1
fi
echo "check_whole_runs.sh: ${#runs[@]} runs did the whole job alike (${runs[*]})"
