#!/usr/bin/env bash
# Builds the decoder's fuzz targets with clang's libFuzzer (AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
SECONDS_EACH="${1:-60}"
OUT="$ROOT/build/fuzz"
mkdir -p "$OUT"
FLAGS=(-std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$ROOT")
# extractStream (files by path) is left out: the targets drive decodeStream.
SOURCES=($(ls "$ROOT"/decoder/*.cpp | grep -v /extract.cpp) "$ROOT/shell/state.cpp" "$ROOT/fuzz/harness.cpp")
clang++ "${FLAGS[@]}" "$ROOT/fuzz/decode_fuzz.cpp" "${SOURCES[@]}" -o "$OUT/decode_fuzz"
clang++ "${FLAGS[@]}" "$ROOT/fuzz/round_trip_fuzz.cpp" "$ROOT/tools/common/lzhuf_encoder.cpp" "${SOURCES[@]}" \
        -o "$OUT/round_trip_fuzz"
cd "$OUT"  # crash and slow-unit files land here
for target in decode_fuzz round_trip_fuzz; do
  mkdir -p "$OUT/corpus-$target"
  echo "== $target for ${SECONDS_EACH}s"
  "$OUT/$target" -max_total_time="$SECONDS_EACH" -max_len=65536 -rss_limit_mb=2048 \
                 "$OUT/corpus-$target" 2>&1 | grep -E "^#[0-9]+ *DONE|ERROR|SUMMARY|Done" || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || exit 1
done
