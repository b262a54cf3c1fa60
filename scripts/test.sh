#!/usr/bin/env bash
# Sets up, builds BRANTEL with its tests and runs them all (no display needed).
#   --sanitize   build and run under AddressSanitizer and UndefinedBehaviorSanitizer instead
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build="$root/build-test"
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build="$root/build-sanitize"
  options=(-DCMAKE_BUILD_TYPE=Debug -DBRANTEL_SANITIZE=ON)
  export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
jobs=$(nproc)
cmake -S "$root" -B "$build" -G Ninja "${options[@]}"
cmake --build "$build" -j "$jobs"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "$jobs" --timeout 600
