#!/usr/bin/env bash
# Installs what is missing, builds the native preset (build/native), makes the demo show in
# build/demo and renders it into build/demo/frames (show.mp4 with the show's sound, and the PNG frames).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

bash scripts/setup-debian.sh --demo
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

# The same show as a Windows screen saver, 32-bit (build/demo/demo.scr) and 64-bit
# (build/demo/demo64.scr), for each MinGW cross compiler that is here; DEMO_SCR=0 leaves them out.
if [ "${DEMO_SCR:-1}" = 1 ]; then
  for arch in win32 win64; do
    triple=i686-w64-mingw32; name=demo.scr
    [ $arch = win64 ] && triple=x86_64-w64-mingw32 && name=demo64.scr
    command -v $triple-g++-posix >/dev/null || continue
    [ -d build/$arch-deps ] || bash scripts/build-win-deps.sh $arch
    [ -f build/$arch/build.ninja ] || cmake --preset $arch
    cmake --build build/$arch --target vitrine_scr
    bash demo/build-demo.sh "$vitrine" build/demo/$arch build/$arch/bin/vitrine.scr >/dev/null
    cp build/demo/$arch/vitrine-demo.scr build/demo/$name
    echo "demo: the $arch screen saver in $root/build/demo/$name (copy it to Windows, right-click, Install)"
  done
fi
