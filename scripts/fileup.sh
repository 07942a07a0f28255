#!/bin/sh
# Uploads one file to the partner's FTP server, into the login directory under its own base name.
#
#   fileup.sh HOST USER PASSWORD FILE
#
# Passive FTP on port SALDOR_FTP_PORT when that is set, port 21 otherwise. The password goes to
# curl through its standard input, not its command line. Exits with curl's status.
set -eu

if [ "$#" -ne 4 ]; then
  echo "usage: fileup.sh HOST USER PASSWORD FILE" >&2
  exit 2
fi
host=$1
user=$2
password=$3
file=$4
port=${SALDOR_FTP_PORT:-21}

case $host in
  *:*) address="[$host]" ;;  # an IPv6 address
  *) address=$host ;;
esac

# Backslashes and double quotes are escaped for curl's config syntax.
quote() {
  printf '%s' "$1" | sed -e 's/\\/\\\\/g' -e 's/"/\\"/g'
}

# With a URL ending in "/", curl appends the file's base name (escaped) itself.
printf 'user = "%s:%s"\n' "$(quote "$user")" "$(quote "$password")" |
  curl --silent --show-error --config - --ftp-pasv \
    --connect-timeout 30 --speed-limit 1 --speed-time 60 \
    --upload-file "$file" "ftp://$address:$port/"
echo "fileup: sent $file to $host:$port"
