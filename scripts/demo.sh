#!/usr/bin/env bash
# The main job: builds, packs the sample saver into an installer and installs
# it on fresh simulated machines, silently and then with a scripted user,
# showing what each run did and what the machine holds afterwards.
source "$(dirname "$0")/setup.sh"

install_missing
build_windows >/dev/null
build_host "$ROOT/build/host" >/dev/null

SAMPLE="$ROOT/examples/aquarium"
ANSWERS="$ROOT/examples/answers"
OUT="$ROOT/build/demo"
PACK="$ROOT/build/host/vrn-pack"
MACHINE="$ROOT/build/host/vrn-machine"
rm -rf "$OUT"
mkdir -p "$OUT"

"$PACK" build --stub "$ROOT/build/win32/vrnsetup.exe" --name "Aquarium" \
  --colours 0x00804000 0x00100000 --license "$SAMPLE/license.txt" --first-sequence 1 \
  --saver "$SAMPLE/aquarium.scr" --data "$SAMPLE/aquarium.dat" --uninstaller "$SAMPLE/uninstal.exe" \
  --media "$SAMPLE/reef.bmp" --media "$SAMPLE/bubbles.wav:juke" \
  -o "$OUT/AquariumSetup.exe"
echo "== vrn-pack inspect AquariumSetup.exe"
"$PACK" inspect "$OUT/AquariumSetup.exe"

# run NAME ANSWERS [ARGS]: a fresh machine, one run, its transcript and state.
run() {
  local name="$1" answers="$2"
  shift 2
  "$MACHINE" new "$OUT/$name"
  echo
  echo "== vrn-machine run ($name): AquariumSetup.exe $*"
  local status=0
  "$MACHINE" run "$OUT/$name" "$OUT/AquariumSetup.exe" --answers "$answers" \
    --transcript "$OUT/$name.transcript" --screenshot "$OUT/$name.png" "$@" || status=$?
  sed 's/^/  /' "$OUT/$name.transcript"
  echo "  exit status: $status"
  echo
  echo "== vrn-machine show ($name)"
  "$MACHINE" show "$OUT/$name"
}

run silent "$ANSWERS/aquarium-silent.txt" /S
run interactive "$ANSWERS/aquarium-interactive.txt"

echo
echo "The splash window as it first painted: $OUT/interactive.png"
