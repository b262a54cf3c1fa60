#!/usr/bin/env bash
# Sets up, builds BRANTEL with its tests and runs them all (no display needed): once in an
# optimised build, whose Debian package is then made and checked, once under AddressSanitizer
# and UndefinedBehaviorSanitizer.
#   --quick   the optimised build only
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

run_suite() {
  local build=$1
  shift
  cmake -S "$root" -B "$build" -G Ninja "$@"
  cmake --build "$build" -j "$jobs"
  (cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 600)
}

run_suite "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
"$root/scripts/check_package.sh" "$root/build-test"
if [ "${1:-}" != "--quick" ]; then
  export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  run_suite "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DBRANTEL_SANITIZE=ON -DBRANTEL_BENCH=OFF
fi
