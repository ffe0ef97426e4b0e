#!/usr/bin/env bash
# Compares the Flash player's frames with the reference player Ruffle in headless Chromium,
# where Chromium starts; elsewhere it says so and succeeds.
#   bash tests/flash/reference/run.sh [build dir, default build/native]
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
# Absolute: the comparison runs from tests/flash.
build=$(cd "${1:-$root/build/native}" && pwd) || exit 1
chromium=${CHROMIUM:-/usr/bin/chromium}

if [ ! -x "$chromium" ] || [ ! -d "$here/node_modules/@ruffle-rs/ruffle" ] || ! command -v node >/dev/null; then
  echo "flash-reference: Chromium, node or the reference's npm packages are missing; skipped"
  exit 0
fi
profile=$(mktemp -d)
if ! timeout 60 "$chromium" --headless --no-sandbox --disable-gpu --disable-background-networking \
    --user-data-dir="$profile" --dump-dom about:blank >/dev/null 2>&1; then
  rm -rf "$profile"
  echo "flash-reference: Chromium does not start here; skipped"
  exit 0
fi
rm -rf "$profile"
cd "$root/tests/flash" &&
  VITRINE_FLASH_REFERENCE=1 VITRINE_TEST_DATA="$root/tests/data" "$build/bin/flash_tests" --gtest_filter='SwfRuffle.*'
