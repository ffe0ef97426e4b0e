#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, and exits with the program's exit code.
#   scripts/wine-run.sh [--arch win32|win64] PROGRAM.exe [ARGS...]
# Without --arch the program's own header decides. 64-bit programs run with the 64-bit loader
# (/usr/lib/wine/wine64) in a 64-bit prefix in build/wine64, on every machine; a Wine that
# cannot run them is a failure. 32-bit programs run in a 32-bit prefix in build/wine32, or
# exit with 77 (CTest: skipped) where 32-bit Wine is not installed or the kernel cannot run
# 32-bit programs at all.
# CTest uses it as the cross-compiling emulator of the win32 and win64 builds.
# Each prefix is made once (bounded in time; runs in parallel wait for it) with font
# substitutes for the faces Wine lacks; sound goes to a null ALSA device; without a display,
# the programs of a prefix share a private Xvfb when one is installed.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

arch=""
if [ "${1:-}" = --arch ]; then
  arch=${2:?--arch needs win32 or win64}
  shift 2
fi
program=${1:?usage: wine-run.sh [--arch win32|win64] PROGRAM [ARGS...]}

. "$root/scripts/lib/pe-machine.sh"
if [ -z "$arch" ]; then
  case $(pe_machine "$program") in
    8664) arch=win64 ;;
    *) arch=win32 ;;
  esac
fi

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: their install dialogs would wait for a click that never comes. No crash
# debugger either: a program that crashes ends at once instead of waiting in winedbg.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}

case $arch in
  win64)
    export WINEARCH=win64
    export WINEPREFIX=${VITRINE_WINEPREFIX64:-$root/build/wine64}
    # Debian's wine launcher picks the 32-bit loader whenever it is installed, even where the
    # kernel refuses it: the 64-bit one is named.
    loader=/usr/lib/wine/wine64
    [ -x "$loader" ] || loader=$(command -v wine64 || true)
    if [ -z "$loader" ] || ! "$loader" --version >/dev/null 2>&1; then
      echo "wine-run: the 64-bit Wine loader cannot run (bash scripts/setup-debian.sh installs wine64)" >&2
      exit 1
    fi
    ;;
  win32)
    export WINEARCH=win32
    export WINEPREFIX=${VITRINE_WINEPREFIX:-$root/build/wine32}
    # The 32-bit loader is named: the wine launcher falls back on wine64 when wine32 is not
    # installed, and that cannot make a 32-bit prefix. The loader is a 32-bit Linux program:
    # it is missing where 32-bit Wine did not install, and a kernel without 32-bit emulation
    # refuses it (Exec format error). Either way the tests report themselves skipped.
    loader=/usr/lib/wine/wine
    if [ ! -x "$loader" ]; then
      echo "wine-run: SKIPPED: 32-bit Wine is not installed (wine32:i386; bash scripts/setup-debian.sh)" >&2
      exit 77
    fi
    if ! "$loader" --version >/dev/null 2>&1; then
      echo "wine-run: SKIPPED: this machine cannot run 32-bit programs (the kernel's 32-bit emulation is off)" >&2
      exit 77
    fi
    ;;
  *) echo "wine-run: unknown arch $arch" >&2; exit 2 ;;
esac
wineserver=$(dirname "$loader")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

# Sound: a null default pcm, so that the media-control interface has a device to play to
# on machines without a sound card.
if [ -z "${ALSA_CONFIG_PATH:-}" ]; then
  mkdir -p "$root/build"
  alsa=$root/build/wine-alsa-null.conf
  [ -f "$alsa" ] || printf 'pcm.!default { type null }\n' >"$alsa"
  export ALSA_CONFIG_PATH=$alsa
fi

# Faces that packages ask for and Wine lacks, mapped to their metric-compatible twins, so
# that a text measures as it does on Windows. Changing this list remakes the prefixes.
fonts_reg() {
  echo 'REGEDIT4'
  echo
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]'
  echo '"Arial"="Liberation Sans"'
  echo '"Courier New"="Liberation Mono"'
  echo '"Times New Roman"="Liberation Serif"'
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
  echo '"Arial"="Liberation Sans"'
  echo '"Courier New"="Liberation Mono"'
  echo '"Times New Roman"="Liberation Serif"'
}
ready=$WINEPREFIX/.vitrine-ready-2

if [ ! -f "$ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock -w 900 9 || exit 1
    if [ ! -f "$ready" ]; then
      rm -rf "$WINEPREFIX"
      # Bounded: a Wine that cannot start (emulated, broken install) must not hang the tests.
      timeout 600 "$loader" wineboot --init >"$WINEPREFIX.log" 2>&1 </dev/null &&
        timeout 120 "$wineserver" -w || { cat "$WINEPREFIX.log" >&2; exit 1; }
      [ -f "$WINEPREFIX/system.reg" ] || { cat "$WINEPREFIX.log" >&2; exit 1; }
      fonts_reg >"$WINEPREFIX/drive_c/vitrine-fonts.reg"
      timeout 120 "$loader" regedit /S 'C:\vitrine-fonts.reg' >>"$WINEPREFIX.log" 2>&1 </dev/null &&
        timeout 120 "$wineserver" -w || { cat "$WINEPREFIX.log" >&2; exit 1; }
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock" || { echo "wine-run: could not make the prefix $WINEPREFIX" >&2; exit 1; }
fi

# Prints the display number of the prefix's Xvfb, starting one if none runs. Called with fd 8
# on the prefix's X lock.
shared_xvfb() {
  (
    flock -x 8
    if [ -f "$WINEPREFIX.xvfb" ] && read -r n pid <"$WINEPREFIX.xvfb" && kill -0 "$pid" 2>/dev/null; then
      echo "$n"
      exit 0
    fi
    for n in $(seq 90 189); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null 8>&- 7>&- &
      pid=$!
      for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        echo "$n $pid" >"$WINEPREFIX.xvfb"
        echo "$n"
        exit 0
      fi
    done
    exit 1
  )
}

# Every program of one prefix talks to one wineserver, whose desktop lives on the X display of
# whichever program started it: so all runs of a prefix share one private Xvfb, and the last
# run to end stops the wineserver and that Xvfb. Runs in parallel (ctest -j) then see one
# screen, as on Windows.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null && [ "${VITRINE_WINE_XVFB:-1}" = 1 ]; then
  exec 7>"$WINEPREFIX.users"
  flock -s 7
  display=$(shared_xvfb 8>"$WINEPREFIX.xlock") || { echo "wine-run: could not start Xvfb" >&2; exit 1; }
  export DISPLAY=:$display
  xvfb_pid=yes
fi

"$loader" "$@" </dev/null 7>&-
rc=$?

if [ -n "$xvfb_pid" ] && flock -n -x 7; then
  (
    flock -x 8
    "$wineserver" -k 2>/dev/null
    if [ -f "$WINEPREFIX.xvfb" ] && read -r n pid <"$WINEPREFIX.xvfb"; then
      kill "$pid" 2>/dev/null
      rm -f "$WINEPREFIX.xvfb"
    fi
  ) 8>"$WINEPREFIX.xlock"
fi
exit $rc
