#!/usr/bin/env bash
# Installs what the builds, the tests and the demo need on a fresh Debian 12 machine, in tiers:
#   core      the native build, the demo's render and the tests' reference tools (must install)
#   windows   the MinGW cross compilers and 64-bit Wine (must install)
#   wine32    32-bit Wine (optional: without it the win32 tests are reported skipped)
#   reference Chromium and the npm packages of the Flash reference player (optional)
# scripts/setup-debian.sh [--demo]: --demo installs only what scripts/demo.sh uses (core and
# the MinGW compilers). A failed optional tier prints one line and the script goes on; a
# failed required tier ends it with apt's own error. Safe to run again: apt skips what is present.
set -uo pipefail
export DEBIAN_FRONTEND=noninteractive

demo=0
[ "${1:-}" = --demo ] && demo=1

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
apt_install() { $SUDO apt-get install -y -q --no-install-recommends "$@"; }

# The i386 architecture is only for 32-bit Wine; the demo does without it.
if [ $demo = 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

# Source packages: libjpeg-turbo and libtiff are cross-built for Windows; libpng and giflib
# ship the real test pictures the reader tests decode.
if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ]; then
    $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$src"
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $SUDO tee /etc/apt/sources.list.d/vitrine-src.list >/dev/null
  fi
fi

# A mirror in the middle of a sync can serve an index that fails its check ("File has
# unexpected size"), and apt then keeps the list it had. Try a few times, then go on: each
# tier below fails by itself if a package it needs cannot be had.
for try in 1 2 3; do
  $SUDO apt-get update -q && break
  if [ "$try" -eq 3 ]; then
    echo "setup: apt-get update failed 3 times; installing from the package lists apt has" >&2
    break
  fi
  sleep $((try * 20))
done

core=(
  build-essential cmake ninja-build pkg-config git ca-certificates dpkg-dev xz-utils bzip2
  googletest libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev
  zlib1g-dev libjpeg62-turbo-dev libpng-dev libtiff-dev
  libfreetype-dev libfontconfig-dev fontconfig fonts-liberation fonts-dejavu-core
  clang libclang-rt-14-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  libsdl2-dev libx11-dev libxtst-dev xvfb xauth x11-utils
  osslsigncode openssl xserver-xorg-video-dummy x11-xserver-utils
  imagemagick graphicsmagick netpbm libjpeg-turbo-progs libtiff-tools ffmpeg
  libheif-dev libwebp-dev libjxl-dev libheif-examples webp libjxl-tools exiv2
)
# libcairo2-dev: the Flash benchmark draws its scene with Cairo too, as a yardstick.
# libheif-dev, libwebp-dev and libjxl-dev: vitrine pack converts HEIC, AVIF, WebP and JPEG XL
# (Debian 12's libheif1 carries its HEVC and AV1 decoders itself, through libde265, dav1d and
# libaom); their example tools and exiv2 write the conversion tests' pictures.
mingw=(g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev libz-mingw-w64-dev nasm)

apt_install "${core[@]}" || { echo "setup: the core packages could not be installed" >&2; exit 1; }
apt_install "${mingw[@]}" || { echo "setup: the MinGW cross compilers could not be installed" >&2; exit 1; }
[ $demo = 1 ] && exit 0

# wine64 alone runs the 64-bit build's tests on every machine.
apt_install wine wine64 || { echo "setup: 64-bit Wine could not be installed" >&2; exit 1; }

# 32-bit Wine finds the X extensions (RandR for the monitors, and the rest) only in 32-bit
# libraries of their own; without RandR it reports a single monitor.
wine32=(wine32:i386 libxrandr2:i386 libxinerama1:i386 libxrender1:i386 libxcursor1:i386 libxi6:i386
  libxcomposite1:i386 libxfixes3:i386)
if ! apt_install "${wine32[@]}" >/tmp/vitrine-wine32.log 2>&1; then
  echo "setup: 32-bit Wine could not be installed: the win32 tests will be reported skipped" >&2
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The Flash tests' reference player (Ruffle, driven in headless Chromium): npm packages in a
# folder of their own, pinned in its package.json.
if ! apt_install chromium >/tmp/vitrine-chromium.log 2>&1; then
  echo "setup: Chromium could not be installed: the Flash reference comparison will be reported skipped" >&2
elif ! { command -v npm >/dev/null || apt_install nodejs npm >/dev/null 2>&1; } ||
  ! (cd "$root/tests/flash/reference" && npm install --no-audit --no-fund --no-package-lock --loglevel=error); then
  echo "setup: the Flash reference player's npm packages could not be installed: its comparison will be reported skipped" >&2
fi
exit 0
