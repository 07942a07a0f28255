#!/usr/bin/env bash
# Checks the installation of a Linux build: cmake --install lays out a program folder that runs,
# keeps the config.txt it finds there, and the systemd units in deploy/ pass systemd-analyze
# verify against that folder, the service's sandbox rated 4.0 "OK" or better by systemd-analyze
# security.
#
#   scripts/check_install.sh BUILD_DIR [WINDOWS_BUILD_DIR]
#
# With a Windows cross-build as well: its installation holds saldorauto.exe, temp\fileup.bat
# and config.txt.example, and no POSIX script.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
windows_build=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/opt/saldorauto"

fail() {
  echo "check_install.sh: $*" >&2
  exit 1
}

mkdir -p "$prefix"
printf 'kept,as,"it is;"\r\n' >"$prefix/config.txt"
cmake --install "$build" --prefix "$prefix" >/dev/null
cmake --install "$build" --prefix "$prefix" >/dev/null  # again, as an update would
[ -x "$prefix/saldorauto" ] || fail "no executable saldorauto"
[ -x "$prefix/temp/fileup.sh" ] || fail "no executable temp/fileup.sh"
cmp -s scripts/fileup.sh "$prefix/temp/fileup.sh" || fail "temp/fileup.sh differs from scripts/fileup.sh"
[ -f "$prefix/config.txt.example" ] || fail "no config.txt.example"
[ "$(cat "$prefix/config.txt")" = $'kept,as,"it is;"\r' ] || fail "config.txt was overwritten"
echo "installed program folder:"
(cd "$prefix" && find . -printf '  %M %p\n' | sort -k2)

# The installed program finds its config.txt beside itself, wherever it is started from: with
# an unreachable database it stops with the driver's error, naming the connection string.
printf '"a","b","Driver=NoSuchDriver;"\r\n' >"$prefix/config.txt"
set +e
(cd / && "$prefix/saldorauto") >"$work/out" 2>"$work/err"
status=$?
set -e
[ "$status" = 1 ] || fail "installed program: exit status $status, wanted 1: $(cat "$work/err")"
grep -q 'NoSuchDriver' "$work/err" || fail "installed program: $(cat "$work/err")"

# The units, pointed at this folder and an environment file made from the example.
mkdir -p "$work/units"
cp deploy/saldorauto.env.example "$work/saldorauto.env"
sed -e "s|/opt/saldorauto|$prefix|g" -e "s|/etc/saldorauto/saldorauto.env|$work/saldorauto.env|" \
  deploy/saldorauto.service >"$work/units/saldorauto.service"
cp deploy/saldorauto.timer "$work/units/saldorauto.timer"
systemd-analyze verify "$work/units/saldorauto.service" "$work/units/saldorauto.timer" ||
  fail "systemd-analyze verify found faults in deploy/"
# The exposure level, 0 to 10; the threshold is in tenths.
systemd-analyze security --offline=true --no-pager "$work/units/saldorauto.service" >"$work/security" 2>&1 ||
  fail "systemd-analyze security failed: $(cat "$work/security")"
grep 'Overall exposure level' "$work/security"
systemd-analyze security --offline=true --threshold=40 "$work/units/saldorauto.service" >/dev/null 2>&1 ||
  fail "deploy/saldorauto.service is rated above 4.0: $(grep -E '✗|Overall' "$work/security")"

if [ -n "$windows_build" ]; then
  windows_prefix="$work/windows"
  cmake --install "$windows_build" --prefix "$windows_prefix" >/dev/null
  for item in saldorauto.exe temp/fileup.bat config.txt.example; do
    [ -f "$windows_prefix/$item" ] || fail "Windows installation: no $item"
  done
  [ ! -e "$windows_prefix/temp/fileup.sh" ] || fail "Windows installation: temp/fileup.sh"
  echo "installed Windows program folder:"
  (cd "$windows_prefix" && find . -printf '  %M %p\n' | sort -k2)
fi
echo "check_install.sh: installation and systemd units verified"
