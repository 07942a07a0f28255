#!/bin/sh
# Uploads one file to the partner's FTP server, into the login directory under its own base name.
#
#   fileup.sh HOST USER PASSWORD FILE
#
# Passive FTP on port SALDOR_FTP_PORT when that is set, port 21 otherwise. The password goes to
# curl through its standard input, never onto a command line or into the log.
#
# A failed transfer is tried again, 3 tries in all, after a pause of SALDOR_UPLOAD_RETRY_PAUSE_S
# seconds (default 20) and then twice that. Every try appends one line to fileup.log beside this
# script:
#
#   2026-12-31 10:00:01 +0000 "/opt/saldorauto/temp/x.csv" to host:21 attempt 1/3 failed: curl 67: ...
#
# Exits 0 once the file is sent; otherwise with curl's status of the last try (2 for a wrong call).
set -eu

tries=3
here=$(cd "$(dirname "$0")" && pwd)
log=$here/fileup.log

# Appends one line to the log as a whole: under an exclusive lock where flock is at hand, and in
# one write of a line kept well below PIPE_BUF, so that two uploads ending at once never mix
# their lines. Control characters (a line break in a path or a message) become blanks. The line
# goes to standard output as well (standard error with a second argument "failed"), which is the
# journal when the run is a systemd service.
note() {
  line=$(printf '%s %s' "$(date '+%Y-%m-%d %H:%M:%S %z')" "$1" | tr '\000-\037' ' ' | cut -c1-2000)
  if command -v flock >/dev/null 2>&1; then
    { flock 9 && printf '%s\n' "$line" >&9; } 9>>"$log" || true
  else
    printf '%s\n' "$line" >>"$log" || true
  fi
  if [ "${2:-}" = failed ]; then
    printf 'fileup: %s\n' "$line" >&2
  else
    printf 'fileup: %s\n' "$line"
  fi
}

if [ "$#" -ne 4 ]; then
  echo "usage: fileup.sh HOST USER PASSWORD FILE" >&2
  note "usage: 4 arguments expected, $# given; nothing sent" failed
  exit 2
fi
host=$1
user=$2
password=$3
file=$4
port=${SALDOR_FTP_PORT:-21}
pause=${SALDOR_UPLOAD_RETRY_PAUSE_S:-20}
target="\"$file\" to $host:$port"

case $pause in
  '' | *[!0-9.]* | *.*.* | .)
    note "$target: SALDOR_UPLOAD_RETRY_PAUSE_S=\"$pause\" is not a number of seconds; nothing sent" failed
    exit 2
    ;;
esac

case $host in
  *:*) address="[$host]" ;;  # an IPv6 address
  *) address=$host ;;
esac

# Backslashes and double quotes are escaped for curl's config syntax.
quote() {
  printf '%s' "$1" | sed -e 's/\\/\\\\/g' -e 's/"/\\"/g'
}

# curl's message without its "curl: (N) " prefix, on one line, with any trace of the password
# taken out (curl does not echo it, but the log must never hold it whatever curl says).
message() {
  printf '%s' "$1" | tr '\r\n\t' '   ' | sed -e 's/^curl: ([0-9]*) //' -e 's/ *$//' |
    SALDOR_SECRET=$password awk '{
      s = ENVIRON["SALDOR_SECRET"]
      if (s != "") while ((i = index($0, s)) > 0) $0 = substr($0, 1, i - 1) "***" substr($0, i + length(s))
      print
    }'
}

attempt=1
while :; do
  # With a URL ending in "/", curl appends the file's base name (escaped) itself.
  if output=$(printf 'user = "%s:%s"\n' "$(quote "$user")" "$(quote "$password")" |
    curl --silent --show-error --config - --ftp-pasv \
      --connect-timeout 30 --speed-limit 1 --speed-time 60 \
      --upload-file "$file" "ftp://$address:$port/" 2>&1 >/dev/null); then
    note "$target attempt $attempt/$tries sent"
    exit 0
  else
    status=$?
  fi
  text=$(message "$output")
  note "$target attempt $attempt/$tries failed: curl $status${text:+: $text}" failed
  if [ "$attempt" -ge "$tries" ]; then exit "$status"; fi
  sleep "$(awk -v p="$pause" -v n="$attempt" 'BEGIN { print p * 2 ^ (n - 1) }')"
  attempt=$((attempt + 1))
done
