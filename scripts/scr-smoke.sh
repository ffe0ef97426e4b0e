#!/usr/bin/env bash
# Builds vitrine.scr, packs the demo into it and checks what can be checked without running it:
# the system DLLs it imports and the package at its end; then runs the screen saver's tests
# under Wine (64-bit always; 32-bit where the kernel runs 32-bit programs).
#   bash scripts/scr-smoke.sh [win32|win64, default win64]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
arch=${1:-win64}
build=build/$arch
triple=i686-w64-mingw32
[ "$arch" = win64 ] && triple=x86_64-w64-mingw32
[ -d "build/$arch-deps" ] || bash scripts/build-win-deps.sh "$arch"
[ -f "$build/build.ninja" ] || cmake --preset "$arch"
cmake --build "$build" -j2 --target vitrine_scr win32_tests
OBJDUMP=$triple-objdump bash scripts/check-win32-imports.sh "$build/bin" >/dev/null
$triple-objdump -p "$build/bin/vitrine.scr" | sed -n 's/^\s*DLL Name: //p'
if [ -x build/native/bin/vitrine ]; then
  sh demo/build-demo.sh build/native/bin/vitrine "build/scr-smoke/$arch" "$build/bin/vitrine.scr" | tail -1
fi
rc=0
scripts/wine-run.sh "$build/bin/win32_tests.exe" || rc=$?
[ $rc -eq 77 ] && echo "scr-smoke: Wine cannot run 32-bit programs here; the screen saver was not started" && rc=0
exit $rc
