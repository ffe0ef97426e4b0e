#!/usr/bin/env bash
# Installs what is missing, builds the native preset (build/native) and makes the demo show
# in build/demo.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

bash scripts/setup-debian.sh
cmake --preset native
cmake --build --preset native

vitrine=build/native/bin/vitrine
if [ -f demo/build-demo.sh ]; then
  bash demo/build-demo.sh "$vitrine" build/demo
  echo "demo: built in $root/build/demo"
else
  echo "demo: note: demo/build-demo.sh does not exist yet, so there is no demo show to build."
  echo "demo: the tool is built: $root/$vitrine (try: $vitrine --help)"
fi
