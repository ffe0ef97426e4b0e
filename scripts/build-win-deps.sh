#!/usr/bin/env bash
# Cross-builds libjpeg-turbo and libtiff for Windows (MinGW-w64, posix threads) from Debian's
# source packages, as static libraries. zlib comes from Debian's MinGW package.
#   bash scripts/build-win-deps.sh [win32|win64]      (default win32)
# The compiler, processor and search paths come from the preset's toolchain file
# (cmake/toolchain-mingw-*.cmake); the libraries go to build/<arch>-deps, or to
# $VITRINE_WIN32_DEPS for win32 and $VITRINE_WIN64_DEPS for win64. A library already installed
# there is skipped; delete the folder to build again.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=${1:-win32}
case $arch in
  win32) toolchain=$root/cmake/toolchain-mingw-i686.cmake; prefix=${VITRINE_WIN32_DEPS:-$root/build/win32-deps} ;;
  win64) toolchain=$root/cmake/toolchain-mingw-x86_64.cmake; prefix=${VITRINE_WIN64_DEPS:-$root/build/win64-deps} ;;
  *) echo "usage: $0 [win32|win64]" >&2; exit 2 ;;
esac
work=$root/build/$arch-deps-src
jobs=${JOBS:-2}
# shellcheck source=lib/source-package.sh
. "$root/scripts/lib/source-package.sh"

mkdir -p "$prefix" "$work"

fetch_source() {
  local pkg=$1
  [ -d "$work/$pkg" ] && return 0
  local scratch
  scratch=$(mktemp -d "$work/.scratch.XXXXXX")
  unpack_source_tree "$pkg" "$work/$pkg" "$scratch" || { echo "$arch-deps: cannot download the source of $pkg" >&2; exit 1; }
  rm -rf "$scratch"
}

cross_args=(
  -G Ninja
  -DCMAKE_BUILD_TYPE=Release
  "-DCMAKE_TOOLCHAIN_FILE=$toolchain"
  "-DVITRINE_WIN32_DEPS=$prefix"
  "-DCMAKE_INSTALL_PREFIX=$prefix"
  "-DCMAKE_INSTALL_LIBDIR=$prefix/lib"
  -DBUILD_SHARED_LIBS=OFF
)

if [ -f "$prefix/lib/libjpeg.a" ]; then
  echo "$arch-deps: libjpeg-turbo present in $prefix"
else
  fetch_source libjpeg-turbo
  simd=OFF
  command -v nasm >/dev/null && simd=ON
  rm -rf "$work/build-jpeg"
  cmake -S "$work/libjpeg-turbo" -B "$work/build-jpeg" "${cross_args[@]}" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=$simd \
    -DWITH_JPEG8=OFF >"$work/jpeg-configure.log" || { cat "$work/jpeg-configure.log"; exit 1; }
  cmake --build "$work/build-jpeg" -j "$jobs" --target install >"$work/jpeg-build.log" 2>&1 ||
    { tail -n 50 "$work/jpeg-build.log"; exit 1; }
  echo "$arch-deps: libjpeg-turbo installed in $prefix (SIMD $simd)"
fi

if [ -f "$prefix/lib/libtiff.a" ]; then
  echo "$arch-deps: libtiff present in $prefix"
else
  fetch_source tiff
  rm -rf "$work/build-tiff"
  # zlib and JPEG only: the other codecs would each bring a library of their own.
  cmake -S "$work/tiff" -B "$work/build-tiff" "${cross_args[@]}" \
    "-DJPEG_LIBRARY=$prefix/lib/libjpeg.a" "-DJPEG_INCLUDE_DIR=$prefix/include" \
    -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Dpixarlog=ON \
    -Djpeg12=OFF -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dlibdeflate=OFF \
    -Dcxx=OFF -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
    >"$work/tiff-configure.log" || { cat "$work/tiff-configure.log"; exit 1; }
  cmake --build "$work/build-tiff" -j "$jobs" --target install >"$work/tiff-build.log" 2>&1 ||
    { tail -n 50 "$work/tiff-build.log"; exit 1; }
  echo "$arch-deps: libtiff installed in $prefix"
fi

# The sources and build trees are not needed once the libraries are installed.
rm -rf "$work"
echo "$arch-deps: static libraries in $prefix/lib"
