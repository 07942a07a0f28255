#!/usr/bin/env bash
# Installs what is needed (Debian 12, as root), builds and runs every test: the normal build, the
# same tests under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows cross-build, a
# bounded fuzzing run of the order file reader, and a brief run of each benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2 --timeout 300

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSALDOR_SANITIZE=ON \
  -DSALDOR_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2 --timeout 600

echo "== Windows cross-build (mingw-w64) and its tests under wine"
windows_start=$(date +%s)
# One wine prefix for the whole stage, initialised once, with a persistent wine server that is
# ended afterwards.
export WINEPREFIX="$root/build-windows/wine" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
wineserver -p || true  # status 2: a server for this prefix is running already
if [ ! -f "$WINEPREFIX/system.reg" ]; then wineboot -i >/dev/null 2>&1; fi
trap 'wineserver -k 2>/dev/null || true' EXIT
cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DSALDOR_BUILD_BENCH=OFF >/dev/null
cmake --build build-windows
scripts/check_windows_imports.sh build-windows/saldorauto.exe
# Left out under wine: the whole run on a set date (libfaketime does not reach a program that
# wine starts, so that run would take today's date).
windows_skip=(-E '^FullRunTest\.TheLastRunOfTheYearDoesTheWholeJob$')
ctest --test-dir build-windows --output-on-failure -j2 --timeout 300 "${windows_skip[@]}"
# The whole job under wine on today's date, against the Linux build's run on the same inputs.
scripts/check_windows_run.sh build build-windows
wineserver -k 2>/dev/null || true
echo "Windows stage: $(($(date +%s) - windows_start)) s"

echo "== installations (Linux and Windows) and the systemd units"
scripts/check_install.sh build build-windows

echo "== fuzz the order file reader"
FUZZ_SECONDS="${FUZZ_SECONDS:-30}" scripts/fuzz.sh

echo "== benchmarks (brief)"
# Their SQL Server variants run against a T-SQL server of their own when SALDOR_BABELFISH names
# one, and say that they are skipped otherwise.
export SALDOR_TSQL_STATE=$root/build/tsql-bench
trap 'scripts/tsql_server.sh stop "$SALDOR_TSQL_STATE"' EXIT
scripts/tsql_server.sh start "$SALDOR_TSQL_STATE"
find build/bench -type f -executable -name '*bench*' | sort | while read -r bench; do
  "$bench" --benchmark_min_time=0.01
done
scripts/tsql_server.sh stop "$SALDOR_TSQL_STATE"

echo "== all tests passed"
