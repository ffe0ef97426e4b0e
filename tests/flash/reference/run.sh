#!/usr/bin/env bash
# Compares the Flash player's frames with the reference player Ruffle in headless Chromium.
# Chromium and the npm packages are an optional tier of scripts/setup-debian.sh: where they are
# not installed it says so and exits 77 (skipped). Installed but failing to start is a failure.
#   bash tests/flash/reference/run.sh [--refresh] [build dir, default build/native]
# --refresh writes the reference frames anew into tests/data/flash/ruffle, which the packaged
# show tests (native and under Wine) compare with where Chromium is not at hand.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
# Absolute: the comparison runs from tests/flash.
keep=""
if [ "${1:-}" = --refresh ]; then
  keep="$root/tests/data/flash/ruffle"
  mkdir -p "$keep"
  shift
fi
build=$(cd "${1:-$root/build/native}" && pwd) || exit 1
chromium=${CHROMIUM:-/usr/bin/chromium}

if [ ! -x "$chromium" ] || [ ! -d "$here/node_modules/@ruffle-rs/ruffle" ] || ! command -v node >/dev/null; then
  echo "flash-reference: skipped: Chromium, node or the reference's npm packages are not installed (an optional tier of scripts/setup-debian.sh)"
  exit 77
fi
profile=$(mktemp -d)
if ! timeout 60 "$chromium" --headless --no-sandbox --disable-gpu --disable-background-networking \
    --user-data-dir="$profile" --dump-dom about:blank >/dev/null 2>&1; then
  rm -rf "$profile"
  echo "flash-reference: Chromium is installed but does not start" >&2
  exit 1
fi
rm -rf "$profile"
cd "$root/tests/flash" || exit 1
VITRINE_FLASH_REFERENCE=1 VITRINE_FLASH_REFERENCE_KEEP="$keep" VITRINE_TEST_DATA="$root/tests/data" "$build/bin/flash_tests" --gtest_filter='SwfRuffle.*'
