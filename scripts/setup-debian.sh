#!/usr/bin/env bash
# Installs everything the three builds, the tests and the demo need on a fresh Debian machine.
# Safe to run again: apt skips what is present.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# 32-bit Wine runs the win32 build's tests.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

# Source packages: libjpeg-turbo and libtiff are cross-built for win32; libpng and giflib
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
# unexpected size"), and apt then keeps the list it had. Try a few times, then go on: the
# install below fails by itself if a package it needs cannot be had.
for try in 1 2 3; do
  $SUDO apt-get update -q && break
  if [ "$try" -eq 3 ]; then
    echo "setup: apt-get update failed 3 times; installing from the package lists apt has" >&2
    break
  fi
  sleep $((try * 20))
done
$SUDO apt-get install -y -q --no-install-recommends \
  build-essential cmake ninja-build pkg-config git ca-certificates dpkg-dev xz-utils bzip2 \
  googletest libgtest-dev libgmock-dev libbenchmark-dev \
  zlib1g-dev libjpeg62-turbo-dev libpng-dev libtiff-dev \
  libfreetype-dev libfontconfig-dev fontconfig fonts-liberation fonts-dejavu-core \
  clang libclang-rt-14-dev \
  g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev \
  libz-mingw-w64-dev nasm \
  wine wine32:i386 wine64 xvfb xauth x11-utils \
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev \
  libsdl2-dev libx11-dev libxtst-dev \
  imagemagick graphicsmagick netpbm libjpeg-turbo-progs libtiff-tools \
  ffmpeg \
  chromium

# The Flash tests' reference player (Ruffle, driven in headless Chromium): npm packages in a
# folder of their own, pinned in its package.json. Without them the comparison is skipped.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  $SUDO apt-get install -y -q --no-install-recommends nodejs npm
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
(cd "$root/tests/flash/reference" && npm install --no-audit --no-fund --no-package-lock --loglevel=error) ||
  echo "setup: the Flash reference player's npm packages did not install; its comparison is skipped" >&2
