#!/usr/bin/env bash
# Builds Quillet and runs every test with CTest: the dev build, then again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, and
# the fuzz targets for a short bounded time. Ends with the time each stage took.
#
# A skipped test guards nothing, and this command installs what every test needs: it fails when
# a test was skipped as when one failed. QUILLET_ALLOW_SKIPS=1 lets a machine where some cannot
# run (no root, no namespaces) pass with them listed.
set -euo pipefail
cd "$(dirname "$0")/.."

stages=()
started=$SECONDS
stage() { # stage <name> <command...>
  local name=$1 from=$SECONDS
  shift
  echo "=== $name"
  "$@"
  stages+=("$(printf '%-14s %5d s' "$name" $((SECONDS - from)))")
}
stage_times() {
  echo "=== time of each stage"
  printf '%s\n' "${stages[@]}"
  printf '%-14s %5d s\n' total $((SECONDS - started))
}
trap stage_times EXIT

# Runs a preset's tests and refuses skipped ones.
run_tests() { # run_tests <preset>
  local log
  log=$(mktemp)
  ctest --preset "$1" -j "$jobs" | tee "$log"
  if grep -q "The following tests did not run" "$log" && [ "${QUILLET_ALLOW_SKIPS:-}" != 1 ]; then
    echo "Tests were skipped (listed above); CI runs every test." >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

build_and_test() { # build_and_test <preset> [configure options...]
  local preset=$1
  shift
  cmake --preset "$preset" "$@"
  cmake --build --preset "$preset" -j "$jobs"
  run_tests "$preset"
}

stage packages bash scripts/install-deps.sh
# The ESC/POS libraries the virtual printer's tests use as clients, exactly as locked.
stage npm bash -c 'cd tests/emulator/clients && npm ci --no-audit --no-fund'

jobs=$(nproc)
# A second run compiles only what changed.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
# Line tables are all a stack trace or a sanitizer's report needs; full debug information would
# make every compile and link of these builds longer (a developer's own build keeps it).
line_tables=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1)
for preset in dev asan tsan; do
  stage "$preset" build_and_test "$preset" -DQUILLET_WERROR=ON "${line_tables[@]}"
done
# The fuzz targets are built with clang and each runs for a short bounded time.
stage fuzz build_and_test fuzz "${line_tables[@]}"
