#!/usr/bin/env bash
# Builds Quillet and runs every test with CTest: the dev build, then again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, and
# the fuzz targets for a short bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The ESC/POS libraries the virtual printer's tests use as clients, exactly as locked.
(cd tests/emulator/clients && npm ci --no-audit --no-fund)

jobs=$(nproc)
for preset in dev asan tsan; do
  echo "=== $preset"
  cmake --preset "$preset" -DQUILLET_WERROR=ON
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

# The fuzz targets are built with clang and each runs for a short bounded time.
echo "=== fuzz"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz -j "$jobs"
