#!/usr/bin/env bash
# Builds vitrine.scr (win32 preset), packs the demo into it and checks what can be checked
# without running it: the system DLLs it imports and the package at its end. With 32-bit Wine
# available it also runs the screen saver's tests.
#   bash scripts/scr-smoke.sh [build dir, default build/win32]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=${1:-build/win32}
[ -d build/win32-deps ] || bash scripts/build-win32-deps.sh
[ -f "$build/build.ninja" ] || cmake --preset win32 -B "$build"
cmake --build "$build" -j2 --target vitrine_scr win32_tests
bash scripts/check-win32-imports.sh "$build/bin" >/dev/null
i686-w64-mingw32-objdump -p "$build/bin/vitrine.scr" | sed -n 's/^\s*DLL Name: //p'
if [ -x build/native/bin/vitrine ]; then
  sh demo/build-demo.sh build/native/bin/vitrine build/scr-smoke "$build/bin/vitrine.scr" | tail -1
fi
rc=0
scripts/wine-run.sh "$build/bin/win32_tests.exe" || rc=$?
[ $rc -eq 77 ] && echo "scr-smoke: Wine cannot run 32-bit programs here; the screen saver was not started" && rc=0
exit $rc
