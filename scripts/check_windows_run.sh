#!/usr/bin/env bash
# The whole job of the Windows build under wine, checked against the Linux build on the same
# inputs: each build is installed (cmake --install) into a program folder whose name holds a blank
# and "ü", with config.txt, the demo business database and a local FTP server on loopback holding
# today's sample order file. Each run must write both exports, hand both to its upload script,
# fetch the order file and import it; then the two runs must have written byte-identical export
# files and the same database rows.
#
#   scripts/check_windows_run.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
#
# Wine has no curl.exe, so fileup.bat is given a stand-in (tests/transfer/curl_standin.c, built
# here with mingw-w64) that records its calls instead of sending; the Linux run's fileup.sh sends
# to the FTP server with the real curl. WINEPREFIX is used when set; otherwise a prefix in the
# Windows build folder, made on the first run. Both runs take today's date (libfaketime does not
# reach a program that wine starts).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
linux_build=$(realpath "${1:?usage: check_windows_run.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR}")
windows_build=$(realpath "${2:?usage: check_windows_run.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR}")
export LC_ALL=C.UTF-8 WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$windows_build/wine}
if [ ! -f "$WINEPREFIX/system.reg" ]; then wineboot -i >/dev/null 2>&1; fi
started=$(date +%s)

work=$windows_build/whole-run
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() {
  echo "check_windows_run.sh: FAILED: $*" >&2
  failures=$((failures + 1))
}
windows() { printf 'Z:%s' "${1//\//\\}"; }

x86_64-w64-mingw32-gcc -municode -O2 -Wall -Wextra -Werror -o "$work/curl.exe" \
  tests/transfer/curl_standin.c
sqlite3 "$work/business.db" ".read db/sqlite/business.sql" ".read db/sqlite/demo.sql"
today=$(date +%d-%b-%Y)
tomorrow=$(date -d tomorrow +%d-%b-%Y)
order_file=Saldor_to_vendor_$today.csv
exports=(saldor_available_inventory.csv "Vendor_to_saldor_$tomorrow.csv")

# Lays out the program folder of `platform` from `build`, starts its FTP server and runs the
# program once; leaves the run's output, status and time in the platform's folder.
run() {
  local platform=$1 build=$2 program=$3
  local base="$work/$platform"
  local folder="$base/program dir ü"
  mkdir -p "$folder" "$base/ftp"
  cmake --install "$build" --prefix "$folder" >/dev/null
  cp "$work/business.db" "$folder/business.db"
  # The SQLite driver is the host's in both runs (under wine through wine's ODBC), so it is given
  # the unix path.
  printf '"SaldorAuto","3.4","Driver=SQLite3;Database=%s;"\r\n' "$folder/business.db" \
    >"$folder/config.txt"
  cp scripts/demo_order_file.csv "$base/ftp/$order_file"
  /usr/bin/python3 scripts/ftp_server.py --root "$base/ftp" --port 0 --port-file "$base/ftp.port" \
    --log "$base/ftp.log" --quiet >/dev/null 2>&1 &
  echo $! >"$base/ftp.pid"
  for _ in $(seq 100); do [ -s "$base/ftp.port" ] && break; sleep 0.1; done
  local start status=0
  start=$(date +%s.%N)
  # Started from another folder: the program finds its files beside itself. The pacing waits
  # are long enough for one upload to have ended before the next one starts; a run that hangs
  # is ended after 2 minutes.
  (cd "$work" && timeout 120 env SALDOR_FTP_HOST=127.0.0.1 SALDOR_FTP_PORT="$(cat "$base/ftp.port")" \
    SALDOR_PACING_MS=2000 SALDOR_UPLOAD_RETRY_PAUSE_S=0 SALDOR_NO_MESSAGE_BOX=1 \
    SALDOR_CURL="$(windows "$work/curl.exe")" SALDOR_TEST_CURL_RECORD="$(windows "$base/curl.txt")" \
    "${@:4}" "$folder/$program" >"$base/out.txt" 2>"$base/err.txt") || status=$?
  echo "$status" >"$base/status"
  awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN{printf "%.1f", b - a}' >"$base/seconds"
}
stop_servers() {
  for pid in "$work"/*/ftp.pid; do [ -f "$pid" ] && kill "$(cat "$pid")" 2>/dev/null || true; done
}
trap stop_servers EXIT

run windows "$windows_build" saldorauto.exe wine
run linux "$linux_build" saldorauto
[ "$(date +%d-%b-%Y)" = "$today" ] || fail "the runs went past midnight; run the check again"

# Each run by itself, as the Linux run is checked: exit status 0, the run log's line, no error
# report, both exports, both uploads, the order file fetched and its three orders imported.
for platform in windows linux; do
  base="$work/$platform"
  folder="$base/program dir ü"
  [ "$(cat "$base/status")" = 0 ] || fail "$platform: exit status $(cat "$base/status"): $(cat "$base/err.txt")"
  grep -q '  - Program Loaded' "$base/out.txt" || fail "$platform: no run log line: $(cat "$base/out.txt")"
  if grep -v '^fileup: ' "$base/err.txt" | grep -q .; then fail "$platform: $(cat "$base/err.txt")"; fi
  for name in "${exports[@]}"; do
    [ -s "$folder/temp/$name" ] || fail "$platform: no temp/$name"
  done
  cmp -s scripts/demo_order_file.csv "$folder/$order_file" || fail "$platform: $order_file not fetched"
  count=$(sqlite3 "$folder/business.db" "SELECT COUNT(*) FROM Orders WHERE EnteredBy = 'SaldorImport'")
  [ "$count" = 3 ] || fail "$platform: $count orders imported, wanted 3"
  # The uploads run on their own: a moment for both to be logged.
  for _ in $(seq 200); do
    [ "$(tr -d '\r' 2>/dev/null <"$folder/temp/fileup.log" | grep -c ' sent$')" = 2 ] && break
    sleep 0.1
  done
  for name in "${exports[@]}"; do
    grep -q "${name}\" to 127.0.0.1:[0-9]* attempt 1/3 sent" "$folder/temp/fileup.log" 2>/dev/null ||
      fail "$platform: upload of $name not logged as sent: $(cat "$folder/temp/fileup.log" 2>/dev/null)"
  done
done
# Where each upload went: the Linux run's to the FTP server, the Windows run's to the curl
# stand-in, called with the file by its Windows path.
for name in "${exports[@]}"; do
  cmp -s "$work/linux/program dir ü/temp/$name" "$work/linux/ftp/$name" ||
    fail "linux: $name not on the FTP server as written"
  grep -qF -- "--upload-file \"$(windows "$work/windows/program dir ü/temp/$name")\"" \
    "$work/windows/curl.txt" 2>/dev/null || fail "windows: curl not called for $name"
done

# The two runs against each other: the same export files, byte for byte, and the same rows in
# every table, values with their types. Left out: Orders.DateAdded, the moment each order was
# written, which differs between two runs by nature.
for name in "${exports[@]}"; do
  cmp "$work/windows/program dir ü/temp/$name" "$work/linux/program dir ü/temp/$name" ||
    fail "the two runs wrote different $name"
done
dump() {
  local db=$1 table columns
  for table in $(sqlite3 "$db" "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"); do
    columns=$(sqlite3 "$db" "SELECT group_concat('quote(\"' || name || '\")', ', ')
      FROM pragma_table_info('$table') WHERE NOT ('$table' = 'Orders' AND name = 'DateAdded')")
    echo "== $table"
    sqlite3 "$db" "SELECT $columns FROM \"$table\" ORDER BY rowid"
  done
}
dump "$work/windows/program dir ü/business.db" >"$work/windows/rows.txt"
dump "$work/linux/program dir ü/business.db" >"$work/linux/rows.txt"
diff "$work/windows/rows.txt" "$work/linux/rows.txt" >"$work/rows.diff" ||
  fail "the two runs wrote different rows:"$'\n'"$(head -n 40 "$work/rows.diff")"

echo "check_windows_run.sh: run under wine $(cat "$work/windows/seconds") s, on Linux" \
  "$(cat "$work/linux/seconds") s; $(grep -c . "$work/linux/rows.txt") lines of rows compared;" \
  "whole check $(($(date +%s) - started)) s"
if [ "$failures" -ne 0 ]; then
  echo "check_windows_run.sh: $failures failed" >&2
  exit 1
fi
echo "check_windows_run.sh: the Windows build under wine did the whole job as the Linux build did"
