#!/usr/bin/env bash
# Runs a 32-bit Windows program under Wine, headless. CTest uses it as the cross-compiling
# emulator of the win32 build.
set -u
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win32
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-vitrine32}
if [ ! -d "$WINEPREFIX" ]; then
  wineboot --init >/dev/null 2>&1 || true
fi
exec wine "$@"
