#!/usr/bin/env bash
# The main job: builds, packs the sample saver into an installer and shows
# what the installer holds.
source "$(dirname "$0")/setup.sh"

install_missing
build_windows >/dev/null
build_host "$ROOT/build/host" >/dev/null

SAMPLE="$ROOT/examples/aquarium"
OUT="$ROOT/build/demo"
mkdir -p "$OUT"
"$ROOT/build/host/vrn-pack" build --stub "$ROOT/build/win32/vrnsetup.exe" --name "Aquarium" \
  --colours 0x00804000 0x00100000 --license "$SAMPLE/license.txt" --first-sequence 1 \
  --saver "$SAMPLE/aquarium.scr" --data "$SAMPLE/aquarium.dat" --uninstaller "$SAMPLE/uninstal.exe" \
  --media "$SAMPLE/reef.bmp" --media "$SAMPLE/bubbles.wav:juke" \
  -o "$OUT/AquariumSetup.exe"
echo "== vrn-pack inspect $OUT/AquariumSetup.exe"
"$ROOT/build/host/vrn-pack" inspect "$OUT/AquariumSetup.exe"
