#!/usr/bin/env bash
# The decoder's and the encoder's benchmark: builds the host build, makes a
# corpus (text, a program, a photo-like BMP and a JPEG) and prints, for the
# same data, decodeStream against zlib's inflate and a memory copy, the
# compressed sizes against gzip -9, the encoder's speed, and the decoder's
# instructions per output byte under callgrind.
#
# The text part is a folder of separate files (license texts and package
# documentation, decompressed), as a saver's package holds them: the
# installer stores each file as its own stream, so both compressors take
# each file on its own. Documents above 64 KB (long project histories) are
# left out: a saver's package has a license and a read-me.
source "$(dirname "$0")/../scripts/setup.sh"
PACKAGES+=(libjpeg-turbo-progs)
install_missing
[ -f "$ROOT/build/win32/vrnsetup.exe" ] || build_windows >/dev/null
build_host "$ROOT/build/host" >/dev/null
BENCH="$ROOT/build/host/bench/vrn-bench"

CORPUS="${VRN_BENCH_CORPUS:-$ROOT/build/bench-corpus}"
mkdir -p "$CORPUS"
cd "$CORPUS"
LARGEST_DOCUMENT=65536
if [ ! -d text ]; then  # license texts, then package documentation, about 1 MB in all
  rm -rf text text.new  # an older corpus had the text as one file
  mkdir text.new
  total=0
  {
    find /usr/share/common-licenses -maxdepth 1 -type f | sort
    find /usr/share/doc -type f \( -name 'README*' -o -name 'NEWS*' -o -name 'changelog*' \) \
      ! -name '*.Debian*' 2>/dev/null | sort
  } | while read -r f; do
    name=$(echo "${f#/usr/share/}" | tr '/' '_')
    name="${name%.gz}"
    case "$f" in *.gz) gzip -dc "$f" >"text.new/$name" 2>/dev/null || rm -f "text.new/$name" ;; *) cp "$f" "text.new/$name" ;; esac
    size=$(stat -c %s "text.new/$name" 2>/dev/null || echo 0)
    # A saver's documents are small; a long project history is not one.
    if [ "$size" -eq 0 ] || [ "$size" -gt "$LARGEST_DOCUMENT" ]; then rm -f "text.new/$name"; continue; fi
    total=$((total + $(stat -c %s "text.new/$name")))
    [ "$total" -lt 1000000 ] || break
  done
  mv text.new text
fi
[ -s program ] || head -c 1000000 "$(command -v cmake)" >program
[ -s picture.bmp ] || python3 "$ROOT/bench/make_bmp.py" picture.bmp
[ -s photo.jpg ] || cjpeg -quality 95 -outfile photo.jpg picture.bmp
FILES=(text program picture.bmp photo.jpg)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'; }

echo "== Throughput (MB/s of output) and sizes, one run on the same data"
echo "   (text: $(ls text | wc -l) files, each compressed and decoded as its own stream)"
"$BENCH" "${FILES[@]}"

echo
echo "== Compressed sizes against gzip -9 (bytes)"
ours_total=0
gzip_total=0
for part in "${FILES[@]}"; do
  ours=0
  gz=0
  if [ -d "$part" ]; then members=("$part"/*); else members=("$part"); fi
  for f in "${members[@]}"; do
    ours=$((ours + $("$ROOT/build/host/vrn-pack" compress "$f" /dev/stdout | wc -c)))
    gz=$((gz + $(gzip -9nc "$f" | wc -c)))
  done
  ours_total=$((ours_total + ours))
  gzip_total=$((gzip_total + gz))
  printf '%-12s %9d %9d  %.3f\n' "$part" "$ours" "$gz" "$(ratio "$ours" "$gz")"
done
printf '%-12s %9d %9d  %.3f\n' all "$ours_total" "$gzip_total" "$(ratio "$ours_total" "$gzip_total")"

echo
echo "== Decoder instructions per output byte (callgrind, decodeStream inclusive)"
for f in "${FILES[@]}"; do
  out=$(mktemp)
  valgrind --tool=callgrind --toggle-collect='decodeStream*' --callgrind-out-file="$out" \
    "$BENCH" --decode "$f" >/dev/null 2>&1
  instructions=$(sed -n 's/^totals: *//p; s/^summary: *//p' "$out" | head -1 | awk '{print $1}')
  if [ -d "$f" ]; then size=$(cat "$f"/* | wc -c); else size=$(stat -c %s "$f"); fi
  printf '%-12s %12d instructions  %6.1f per byte\n' "$f" "$instructions" "$(ratio "$instructions" "$size")"
  rm -f "$out"
done
