#!/usr/bin/env bash
# Installs what is missing, builds the native preset (build/native), makes the demo show in
# build/demo and renders it into build/demo/frames (show.mp4 with the show's sound, and the PNG frames).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

bash scripts/setup-debian.sh
cmake --preset native
cmake --build --preset native

vitrine=build/native/bin/vitrine
bash demo/build-demo.sh "$vitrine" build/demo
echo "demo: built in $root/build/demo"

# Twenty seconds of the show on the headless platform, ten frames a second.
frames=build/demo/frames
rm -rf "$frames"
"$vitrine" render build/demo/vitrine-demo.pkg --seconds "${DEMO_SECONDS:-20}" --size 960x540 --fps 10 --frames --out "$frames"
echo "demo: frames in $root/$frames (frame-000000.png ...)"
if [ -f "$frames/show.mp4" ]; then
  echo "demo: the show as a video: $root/$frames/show.mp4"
else
  echo "demo: no show.mp4 (this build has no FFmpeg libraries)"
fi

# The same show as a Windows screen saver (build/demo/demo.scr) when the MinGW cross compiler
# is here; set DEMO_SCR=0 to leave it out.
if [ "${DEMO_SCR:-1}" = 1 ] && command -v i686-w64-mingw32-g++-posix >/dev/null; then
  [ -d build/win32-deps ] || bash scripts/build-win32-deps.sh
  [ -f build/win32/build.ninja ] || cmake --preset win32
  cmake --build build/win32 --target vitrine_scr
  bash demo/build-demo.sh "$vitrine" build/demo/scr build/win32/bin/vitrine.scr >/dev/null
  cp build/demo/scr/vitrine-demo.scr build/demo/demo.scr
  echo "demo: the screen saver in $root/build/demo/demo.scr (copy it to Windows, right-click, Test)"
fi
