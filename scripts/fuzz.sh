#!/usr/bin/env bash
# Builds the order file reader's fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it for FUZZ_SECONDS seconds (default 30), starting from
# the seed corpus in tests/fuzz/corpus. New inputs go to a work corpus under the build folder; a
# crash leaves its input there too and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds="${FUZZ_SECONDS:-30}"
out="$root/build-fuzz"
mkdir -p "$out/corpus" "$out/artifacts"

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -D_GLIBCXX_ASSERTIONS \
  -I"$root/src" \
  "$root/tests/fuzz/csv_reader_fuzz.cpp" \
  "$root/src/import/csv_reader.cpp" \
  "$root/src/import/order_file_row.cpp" \
  "$root/src/import/text_encoding.cpp" \
  "$root/src/app/run_error.cpp" \
  "$root/src/app/text.cpp" \
  -o "$out/csv_reader_fuzz"

echo "fuzzing the order file reader for $seconds s"
"$out/csv_reader_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/" "$out/corpus" "$root/tests/fuzz/corpus"
