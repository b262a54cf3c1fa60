#!/usr/bin/env bash
# Builds the Debian package of BRANTEL: build-package/brantel_VERSION_ARCH.deb, an optimised
# (Release) build of the program, brantel-replay, the menu entry, the icon, the manual page and
# the sample working folder. Install it with:  sudo apt-get install ./build-package/brantel_*.deb
#   scripts/package.sh [BUILD_FOLDER]   package an existing, already built folder instead
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
if [ $# -ge 1 ]; then
  build=$(cd "$1" && pwd)
else
  build="$root/build-package"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DBRANTEL_TESTS=OFF -DBRANTEL_BENCH=OFF
  cmake --build "$build" -j "$(nproc)"
fi
rm -f "$build"/brantel_*.deb
(cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1) || { cat "$build/cpack.log"; exit 1; }
ls "$build"/brantel_*.deb
