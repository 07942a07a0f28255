#!/usr/bin/env bash
# Builds the order file reader's fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz and runs it for FUZZ_SECONDS seconds (default 30),
# starting from the seed corpus in tests/fuzz/corpus. New inputs go to a work corpus under the
# build folder; a crash leaves its input there too and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds="${FUZZ_SECONDS:-30}"
out="$root/build-fuzz"

cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DSALDOR_FUZZ=ON -DSALDOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$out" --target csv_reader_fuzz
mkdir -p "$out/corpus" "$out/artifacts"

echo "fuzzing the order file reader for $seconds s"
"$out/tests/fuzz/csv_reader_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/" "$out/corpus" "$root/tests/fuzz/corpus"
