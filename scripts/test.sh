#!/usr/bin/env bash
# Builds both builds and runs every test, then the host tests again with
# AddressSanitizer and UndefinedBehaviorSanitizer.
source "$(dirname "$0")/setup.sh"

install_missing
build_windows
build_host "$ROOT/build/host"
(cd "$ROOT/build/host" && ctest --output-on-failure -j "$JOBS")

build_host "$ROOT/build/host-asan" -DVRN_SANITIZE=ON
(cd "$ROOT/build/host-asan" && ctest --output-on-failure -j "$JOBS")

cd "$ROOT"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "All tests passed."
