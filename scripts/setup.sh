# Sourced by the other scripts: installs what the builds need and builds
# both of them. Debian packages only.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc 2>/dev/null || echo 2)"

PACKAGES=(cmake make g++ g++-mingw-w64-i686 binutils-mingw-w64-i686 libgtest-dev
          libfreetype-dev fonts-liberation zlib1g-dev valgrind clang-format python3)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

build_windows() {
  cmake -S "$ROOT" -B "$ROOT/build/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$ROOT/build/win32" -j "$JOBS"
}

# build_host FOLDER [CMAKE OPTIONS]
build_host() {
  local dir="$1"
  shift
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVRN_STUB="$ROOT/build/win32/vrnsetup.exe" "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}
