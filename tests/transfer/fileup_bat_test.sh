#!/usr/bin/env bash
# fileup.bat under wine: its arguments, tries, exit status and log, in a program folder whose name
# holds a blank and "ü". Wine has no curl.exe, so a stand-in (curl_standin.c, built here with
# mingw-w64) takes its place through SALDOR_CURL; it records how it was called and fails as often
# as it is told to.
#
#   fileup_bat_test.sh SOURCE_DIR WORK_DIR [MINGW_CC]
#
# WINEPREFIX is used when set; otherwise a prefix in WORK_DIR, made on the first run.
set -euo pipefail
source_dir=$1
work=$2
cc=${3:-x86_64-w64-mingw32-gcc}
export LC_ALL=C.UTF-8 WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$work/wine-prefix}
mkdir -p "$work"
if [ ! -f "$WINEPREFIX/system.reg" ]; then wineboot -i >/dev/null 2>&1; fi

"$cc" -municode -O2 -Wall -Wextra -Werror -o "$work/curl.exe" \
  "$source_dir/tests/transfer/curl_standin.c"

# CRLF line ends throughout: with bare LF, Windows' command processor can miss a label.
if [ "$(grep -c $'\r$' "$source_dir/scripts/fileup.bat")" != "$(wc -l <"$source_dir/scripts/fileup.bat")" ]; then
  echo "FAILED: scripts/fileup.bat has lines without CRLF" >&2
  exit 1
fi

folder="$work/program dir ü"
rm -rf "$folder"
mkdir -p "$folder/temp"
cp "$source_dir/scripts/fileup.bat" "$folder/temp/fileup.bat"
log="$folder/temp/fileup.log"
record="$work/record.txt"
windows() { printf 'Z:%s' "${1//\//\\}"; }
file=$(windows "$folder/temp/saldor_available_inventory & co.csv")
echo "PartNo,OnHand" >"$folder/temp/saldor_available_inventory & co.csv"
export SALDOR_CURL SALDOR_TEST_CURL_RECORD
SALDOR_CURL=$(windows "$work/curl.exe")
SALDOR_TEST_CURL_RECORD=$(windows "$record")

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
# Runs fileup.bat through the command processor, as the program does: `upload ENV... -- ARGS...`;
# prints its exit status.
upload() {
  rm -f "$log" "$record"
  local settings=()
  while [ "$1" != -- ]; do
    settings+=("$1")
    shift
  done
  shift
  local status=0
  env "${settings[@]}" wine "$(windows "$folder/temp/fileup.bat")" "$@" >"$work/out.txt" \
    2>"$work/err.txt" || status=$?
  echo "$status"
}
# The log's lines without their time stamp (Windows' regional date and time under wine). The
# command processor writes the log in the system's code page, Windows-1252 here.
lines() { iconv -f CP1252 -t UTF-8 "$log" | sed -e 's/\r$//' -e 's/^.* \("Z:\)/\1/'; }
expect_lines() {
  local want
  want=$(printf '%s\n' "$@")
  if [ "$(lines)" != "$want" ]; then fail "log lines: wanted"$'\n'"$want"$'\n'"got"$'\n'"$(cat "$log")"; fi
}
target="\"$file\" to 127.0.0.1:2121"
account=(127.0.0.1 ftpvend1 'qT#wz4Lp' "$file")
quick=(SALDOR_FTP_PORT=2121 SALDOR_UPLOAD_RETRY_PAUSE_S=0)

# Sent on the first try: curl is called passive, with the file and the port, and the account on
# its standard input only.
status=$(upload "${quick[@]}" SALDOR_TEST_CURL_FAILS=0 -- "${account[@]}")
[ "$status" = 0 ] || fail "sent: exit status $status"
expect_lines "$target attempt 1/3 sent"
grep -qF -- '--config - --ftp-pasv' "$record" || fail "curl not passive with config on stdin"
grep -qF -- "--upload-file \"$file\" \"ftp://127.0.0.1:2121/\"" "$record" || fail "curl's file and URL"
grep -qxF 'stdin: user = "ftpvend1:qT#wz4Lp"' "$record" || fail "account not on stdin"
if grep -v '^stdin:' "$record" | grep -qF 'qT#wz4Lp'; then fail "password on curl's command line"; fi
grep -qF "fileup: " "$work/out.txt" || fail "no line on standard output"

# A refused login: 3 tries, each logged, curl's status at the end, no password in the log.
status=$(upload "${quick[@]}" SALDOR_TEST_CURL_FAILS=9 -- "${account[@]}")
[ "$status" = 67 ] || fail "refused: exit status $status"
expect_lines "$target attempt 1/3 failed: curl 67: Access denied: 530" \
  "$target attempt 2/3 failed: curl 67: Access denied: 530" \
  "$target attempt 3/3 failed: curl 67: Access denied: 530"
grep -q 'attempt 3/3 failed' "$work/err.txt" || fail "failure not on standard error"
[ "$(grep -c '^stdin:' "$record")" = 3 ] || fail "refused: curl not called 3 times"

# No server on the first try, sent on the second.
status=$(upload "${quick[@]}" SALDOR_TEST_CURL_FAILS=1 SALDOR_TEST_CURL_FAILURE=7 -- "${account[@]}")
[ "$status" = 0 ] || fail "later: exit status $status"
expect_lines "$target attempt 1/3 failed: curl 7: Failed to connect to 127.0.0.1 port 2121 after 0 ms: Couldn't connect to server" \
  "$target attempt 2/3 sent"

# Whatever curl says, the password stays out of the log.
status=$(upload "${quick[@]}" SALDOR_TEST_CURL_FAILS=9 SALDOR_TEST_CURL_FAILURE=leak -- "${account[@]}")
[ "$status" = 67 ] || fail "leak: exit status $status"
if grep -qF 'qT#wz4Lp' "$log"; then fail "password in the log: $(cat "$log")"; fi
grep -qF 'failed: curl 67: Access denied for ftpvend1:***' "$log" || fail "leak: $(cat "$log")"

# Port 21 without SALDOR_FTP_PORT; an IPv6 address in brackets.
status=$(upload -u SALDOR_FTP_PORT SALDOR_UPLOAD_RETRY_PAUSE_S=0 SALDOR_TEST_CURL_FAILS=0 \
  -- ::1 ftpvend1 'qT#wz4Lp' "$file")
[ "$status" = 0 ] || fail "port 21: exit status $status"
grep -qF '"ftp://[::1]:21/"' "$record" || fail "port 21 / IPv6: $(cat "$record")"

# A wrong call sends nothing and says why.
status=$(upload "${quick[@]}" -- 127.0.0.1 ftpvend1 'qT#wz4Lp')
[ "$status" = 2 ] || fail "3 arguments: exit status $status"
grep -q 'usage: 4 arguments expected; nothing sent' "$log" || fail "usage line: $(cat "$log")"
[ ! -e "$record" ] || fail "curl called for a wrong call"
status=$(upload SALDOR_FTP_PORT=2121 SALDOR_UPLOAD_RETRY_PAUSE_S=soon -- "${account[@]}")
[ "$status" = 2 ] || fail "bad pause: exit status $status"
expect_lines "$target: SALDOR_UPLOAD_RETRY_PAUSE_S=\"soon\" is not a whole number of seconds; nothing sent"

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
echo "fileup.bat under wine: all cases passed"
