#!/usr/bin/env bash
# Cross-builds libjpeg-turbo and libtiff for 32-bit Windows (MinGW-w64, posix threads) from
# Debian's source packages, as static libraries, into build/win32-deps. zlib comes from
# Debian's MinGW package. A library already installed there is skipped; delete
# build/win32-deps to build again.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix=${VITRINE_WIN32_DEPS:-$root/build/win32-deps}
work=$root/build/win32-deps-src
jobs=${JOBS:-2}
mingw=/usr/i686-w64-mingw32

mkdir -p "$prefix" "$work"

# Unpacks Debian's source package $1 into $work/$1 (patches applied). The mirror sometimes
# lacks the newest revision's .dsc while it has older ones; without any .dsc the upstream
# tarball is used as it is.
fetch_source() {
  local pkg=$1 dest=$work/$1
  [ -d "$dest" ] && return 0
  local scratch
  scratch=$(mktemp -d "$work/.scratch.XXXXXX")
  local ver dir=""
  for ver in "" $(apt-cache showsrc "$pkg" | sed -n 's/^Version: //p' | sort -r -V); do
    (cd "$scratch" && apt-get source -q "$pkg${ver:+=$ver}" >>fetch.log 2>&1) || true
    dir=$(find "$scratch" -mindepth 1 -maxdepth 1 -type d | head -n1)
    [ -z "$dir" ] || break
    rm -f "$scratch"/*.dsc "$scratch"/*.debian.tar.*
  done
  if [ -z "$dir" ]; then
    local orig
    orig=$(ls "$scratch"/*.orig.tar.* 2>/dev/null | grep -v '\.asc$' | head -n1 || true)
    if [ -z "$orig" ]; then
      grep -E '^(E|Err):' "$scratch/fetch.log" >&2 || true
      echo "win32-deps: cannot download the source of $pkg" >&2
      exit 1
    fi
    echo "win32-deps: no Debian revision of $pkg could be unpacked; using $(basename "$orig")" >&2
    mkdir "$scratch/src"
    tar -xf "$orig" -C "$scratch/src" --strip-components=1
    dir=$scratch/src
  fi
  mv "$dir" "$dest"
  rm -rf "$scratch"
}

cross_args=(
  -G Ninja
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_SYSTEM_NAME=Windows
  -DCMAKE_SYSTEM_PROCESSOR=x86
  -DCMAKE_C_COMPILER=i686-w64-mingw32-gcc-posix
  -DCMAKE_CXX_COMPILER=i686-w64-mingw32-g++-posix
  -DCMAKE_RC_COMPILER=i686-w64-mingw32-windres
  "-DCMAKE_FIND_ROOT_PATH=$mingw;$prefix"
  -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER
  -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY
  -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
  -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY
  "-DCMAKE_INSTALL_PREFIX=$prefix"
  -DCMAKE_INSTALL_LIBDIR=lib
  -DBUILD_SHARED_LIBS=OFF
)

if [ -f "$prefix/lib/libjpeg.a" ]; then
  echo "win32-deps: libjpeg-turbo present in $prefix"
else
  fetch_source libjpeg-turbo
  simd=OFF
  command -v nasm >/dev/null && simd=ON
  rm -rf "$work/build-jpeg"
  cmake -S "$work/libjpeg-turbo" -B "$work/build-jpeg" "${cross_args[@]}" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=$simd \
    -DWITH_JPEG8=OFF "-DCMAKE_INSTALL_LIBDIR=$prefix/lib" >"$work/jpeg-configure.log" || { cat "$work/jpeg-configure.log"; exit 1; }
  cmake --build "$work/build-jpeg" -j "$jobs" --target install >"$work/jpeg-build.log" 2>&1 ||
    { tail -n 50 "$work/jpeg-build.log"; exit 1; }
  echo "win32-deps: libjpeg-turbo installed in $prefix (SIMD $simd)"
fi

if [ -f "$prefix/lib/libtiff.a" ]; then
  echo "win32-deps: libtiff present in $prefix"
else
  fetch_source tiff
  rm -rf "$work/build-tiff"
  # zlib and JPEG only: the other codecs would each bring a library of their own.
  cmake -S "$work/tiff" -B "$work/build-tiff" "${cross_args[@]}" \
    -DZLIB_USE_STATIC_LIBS=ON "-DZLIB_LIBRARY=$mingw/lib/libz.a" "-DZLIB_INCLUDE_DIR=$mingw/include" \
    "-DJPEG_LIBRARY=$prefix/lib/libjpeg.a" "-DJPEG_INCLUDE_DIR=$prefix/include" \
    -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Dpixarlog=ON \
    -Djpeg12=OFF -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dlibdeflate=OFF \
    -Dcxx=OFF -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
    >"$work/tiff-configure.log" || { cat "$work/tiff-configure.log"; exit 1; }
  cmake --build "$work/build-tiff" -j "$jobs" --target install >"$work/tiff-build.log" 2>&1 ||
    { tail -n 50 "$work/tiff-build.log"; exit 1; }
  echo "win32-deps: libtiff installed in $prefix"
fi

# The sources and build trees are not needed once the libraries are installed.
rm -rf "$work"
echo "win32-deps: static libraries in $prefix/lib"
