#!/usr/bin/env bash
# The decoder's and the encoder's benchmark: builds the host build, makes a
# corpus (text, a program, a photo-like BMP and a JPEG) and prints, for the
# same data, decodeStream against zlib's inflate and a memory copy, the
# compressed sizes against gzip -9, the encoder's speed, and the decoder's
# instructions per output byte under callgrind.
source "$(dirname "$0")/../scripts/setup.sh"
PACKAGES+=(libjpeg-turbo-progs)
install_missing
[ -f "$ROOT/build/win32/vrnsetup.exe" ] || build_windows >/dev/null
build_host "$ROOT/build/host" >/dev/null
BENCH="$ROOT/build/host/bench/vrn-bench"

CORPUS="${VRN_BENCH_CORPUS:-$ROOT/build/bench-corpus}"
mkdir -p "$CORPUS"
cd "$CORPUS"
if [ ! -s text ]; then  # license texts and package documentation, about 1 MB
  find /usr/share/common-licenses /usr/share/doc -type f ! -name '*.gz' -size -200k -print0 2>/dev/null |
    sort -z | xargs -0 cat 2>/dev/null | head -c 1000000 >text
fi
[ -s program ] || head -c 1000000 "$(command -v cmake)" >program
[ -s picture.bmp ] || python3 "$ROOT/bench/make_bmp.py" picture.bmp
[ -s photo.jpg ] || cjpeg -quality 95 -outfile photo.jpg picture.bmp
FILES=(text program picture.bmp photo.jpg)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'; }

echo "== Throughput (MB/s of output) and sizes, one run on the same data"
"$BENCH" "${FILES[@]}"

echo
echo "== Compressed sizes against gzip -9 (bytes)"
ours_total=0
gzip_total=0
for f in "${FILES[@]}"; do
  ours=$("$ROOT/build/host/vrn-pack" compress "$f" /dev/stdout | wc -c)
  gz=$(gzip -9nc "$f" | wc -c)
  ours_total=$((ours_total + ours))
  gzip_total=$((gzip_total + gz))
  printf '%-12s %9d %9d  %.3f\n' "$f" "$ours" "$gz" "$(ratio "$ours" "$gz")"
done
printf '%-12s %9d %9d  %.3f\n' all "$ours_total" "$gzip_total" "$(ratio "$ours_total" "$gzip_total")"

echo
echo "== Decoder instructions per output byte (callgrind, decodeStream inclusive)"
for f in "${FILES[@]}"; do
  out=$(mktemp)
  valgrind --tool=callgrind --toggle-collect='decodeStream*' --callgrind-out-file="$out" \
    "$BENCH" --decode "$f" >/dev/null 2>&1
  instructions=$(sed -n 's/^totals: *//p; s/^summary: *//p' "$out" | head -1 | awk '{print $1}')
  size=$(stat -c %s "$f")
  printf '%-12s %12d instructions  %6.1f per byte\n' "$f" "$instructions" "$(ratio "$instructions" "$size")"
  rm -f "$out"
done
