#!/usr/bin/env bash
# Builds Quillet and runs every test with CTest: the dev build, then again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the threaded tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
for preset in dev asan tsan; do
  echo "=== $preset"
  cmake --preset "$preset" -DQUILLET_WERROR=ON
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
