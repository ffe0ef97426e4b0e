#!/usr/bin/env bash
# Runs a 32-bit Windows program under Wine, headless, and exits with the program's exit code,
# or with 77 (CTest: skipped) when this machine cannot run 32-bit programs at all.
# CTest uses it as the cross-compiling emulator of the win32 build:
#   scripts/wine-run.sh build/win32/bin/core_tests.exe --gtest_filter='Text*'
# The Wine prefix lives under build/ (not in $HOME) and is made once; runs in parallel wait
# for that. Without a display, programs run under a private Xvfb when one is installed.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH=win32
export WINEPREFIX=${VITRINE_WINEPREFIX:-$root/build/wine32}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: their install dialogs would wait for a click that never comes.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if ! command -v wine >/dev/null; then
  echo "wine-run: wine is not installed (bash scripts/setup-debian.sh)" >&2
  exit 127
fi

# Wine's loader is a 32-bit Linux program: a kernel without 32-bit emulation refuses it
# (Exec format error); the tests then report themselves skipped.
if ! wine --version >/dev/null 2>&1; then
  echo "wine-run: SKIPPED: this machine cannot run 32-bit programs (the kernel's 32-bit emulation is off)" >&2
  exit 77
fi

if [ ! -f "$WINEPREFIX/.vitrine-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock -w 900 9 || exit 1
    if [ ! -f "$WINEPREFIX/.vitrine-ready" ]; then
      rm -rf "$WINEPREFIX"
      # Bounded: a Wine that cannot start (emulated, broken install) must not hang the tests.
      timeout 600 wineboot --init >"$WINEPREFIX.log" 2>&1 </dev/null &&
        timeout 120 wineserver -w || { cat "$WINEPREFIX.log" >&2; exit 1; }
      [ -f "$WINEPREFIX/system.reg" ] || { cat "$WINEPREFIX.log" >&2; exit 1; }
      touch "$WINEPREFIX/.vitrine-ready"
    fi
  ) 9>"$WINEPREFIX.lock" || { echo "wine-run: could not make the prefix $WINEPREFIX" >&2; exit 1; }
fi

if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null && [ "${VITRINE_WINE_XVFB:-1}" = 1 ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" wine "$@" </dev/null
fi
exec wine "$@" </dev/null
