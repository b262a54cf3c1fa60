#!/usr/bin/env bash
# Sets up, builds BRANTEL (Release) and starts it in a ready working folder, ./workspace,
# made from examples/workspace the first time. An existing ./workspace is kept as it is:
# it holds your geometry and loading files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DBRANTEL_TESTS=OFF -DBRANTEL_BENCH=OFF
cmake --build "$root/build-release" --target brantel
if [ ! -d "$root/workspace" ]; then
  cp -r "$root/examples/workspace" "$root/workspace"
  echo "Created the working folder $root/workspace"
else
  echo "Using the existing working folder $root/workspace"
fi
cd "$root/workspace"
exec "$root/build-release/brantel"
