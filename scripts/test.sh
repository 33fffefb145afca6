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
  stages+=("$(printf '%-24s %5d s' "$name" $((SECONDS - from)))")
}
stage_times() {
  echo "=== time of each stage"
  printf '%s\n' "${stages[@]}"
  printf '%-24s %5d s\n' total $((SECONDS - started))
}

# Runs a preset's tests and refuses skipped ones. Callers test its status (so errexit does not
# apply inside): every failure is returned by hand.
run_tests() { # run_tests <preset>
  local log status=0
  log=$(mktemp)
  ctest --preset "$1" -j "$jobs" | tee "$log" || status=$?
  if [ $status -eq 0 ] && grep -q "The following tests did not run" "$log" &&
    [ "${QUILLET_ALLOW_SKIPS:-}" != 1 ]; then
    echo "Tests were skipped (listed above); CI runs every test." >&2
    status=1
  fi
  rm -f "$log"
  return $status
}

stage packages bash scripts/install-deps.sh
# The ESC/POS libraries the virtual printer's tests use as clients, exactly as locked.
stage npm bash -c 'cd tests/emulator/clients && npm ci --no-audit --no-fund'

jobs=$(nproc)
# A second run compiles only what changed.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

configure() { # configure <preset>; warnings are errors, except in clang's fuzz build
  # Line tables are all a stack trace or a sanitizer's report needs; full debug information would
  # make every compile and link of these builds longer (a developer's own build keeps it).
  local options=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_DEBUG=-g1
    -DCMAKE_C_FLAGS_DEBUG=-g1)
  [ "$1" = fuzz ] || options+=(-DQUILLET_WERROR=ON)
  cmake --preset "$1" "${options[@]}"
}

build() { # build <preset>
  configure "$1" && cmake --build --preset "$1" -j "$jobs"
}

# The builds after the first compile in the background at the lowest priority from the start, one
# after another, each as soon as the one before it is done (not when the tests beside it end): the
# tests in the foreground mostly wait and leave the processors idle much of the time, and a
# compile at nice 19 yields to the first build and to a test whenever they want to run. A step
# "<preset>+tests" also runs that build's tests there, at the same priority. Each step writes its
# output to <preset>.log in the folder $steps, and <preset>.ok or <preset>.failed once it is over.
builder=
steps=$(mktemp -d)
export -f run_tests configure build
export jobs steps
background_builds() { # background_builds <step>...
  local script='for step in "$@"; do
      preset=${step%+tests}
      if build "$preset" && { [ "$step" = "$preset" ] || run_tests "$preset"; }; then
        touch "$steps/$preset.ok"
      else
        touch "$steps/$preset.failed"
        exit 1
      fi >"$steps/$preset.log" 2>&1
    done'
  # Job control gives the chain a process group of its own, to stop it by, but it stays in this
  # session: the kernel's autogroups share the processors between sessions equally, whatever the
  # nice value, and a session of its own would take half of them from the tests.
  set -m
  nice -n 19 bash -c "set -o pipefail; $script" background "$@" &
  builder=$!
  set +m
}

# Waits until the background builds are past <preset>, shows that step's output, and answers
# whether it succeeded.
await_build() { # await_build <preset>
  while [ ! -e "$steps/$1.ok" ] && [ ! -e "$steps/$1.failed" ] && kill -0 "$builder" 2>/dev/null; do
    sleep 1
  done
  echo "=== background: $1 (beside the tests above)"
  cat "$steps/$1.log" 2>/dev/null || true
  [ -e "$steps/$1.ok" ]
}

tests_beside_build() { # tests_beside_build <tested preset> <preset built in the background>
  local status=0
  run_tests "$1" || status=$?
  if [ $status -ne 0 ]; then
    kill -- -"$builder" 2>/dev/null || true
    return $status
  fi
  await_build "$2"
}
# A build left running by a failure or an interruption is stopped with the script.
trap '[ -z "$builder" ] || kill -- -"$builder" 2>/dev/null || true; rm -rf "$steps"; stage_times' EXIT

background_builds asan tsan fuzz+tests
stage "dev build" build dev
stage "dev tests, asan build" tests_beside_build dev asan
stage "asan tests, tsan build" tests_beside_build asan tsan
# The fuzz targets are built with clang and each runs for a short bounded time.
stage "tsan tests, fuzz build and tests" tests_beside_build tsan fuzz
