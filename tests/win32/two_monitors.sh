#!/usr/bin/env bash
# Runs a Windows program under Wine on an X server with two monitors side by side: Xorg with
# its dummy driver and two RandR outputs of 640x480, the second at 640,0, which Wine reports
# as two monitors. The programs get a Wine prefix of their own (build/wine64-monitors or
# build/wine32-monitors, made once), whose wineserver lives on that server alone.
#   tests/win32/two_monitors.sh PROGRAM.exe [ARGS...]
# Exits with the program's status; 77 (skipped) where Xorg cannot run here (it needs root and
# xserver-xorg-video-dummy) or the program cannot (scripts/wine-run.sh: a 32-bit program on a
# kernel that refuses them).
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=${1:?usage: two_monitors.sh PROGRAM.exe [ARGS...]}

xorg=/usr/lib/xorg/Xorg
[ -x "$xorg" ] || xorg=$(command -v Xorg || true)
if [ "$(id -u)" != 0 ] || [ -z "$xorg" ] || [ ! -f /usr/lib/xorg/modules/drivers/dummy_drv.so ] ||
  ! command -v xrandr >/dev/null; then
  echo "two_monitors: SKIPPED: no Xorg with the dummy driver that runs here (it needs root and xserver-xorg-video-dummy)" >&2
  exit 77
fi

dir=$(mktemp -d /tmp/vitrine-two-monitors.XXXXXX)
server=""
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
  fi
  rm -rf "$dir"
}
trap cleanup EXIT

cat >"$dir/xorg.conf" <<'CONF'
Section "Device"
 Identifier "dummy"
 Driver "dummy"
 VideoRam 64000
EndSection
Section "Monitor"
 Identifier "monitor"
 HorizSync 5.0-1000.0
 VertRefresh 5.0-200.0
EndSection
Section "Screen"
 Identifier "screen"
 Device "dummy"
 Monitor "monitor"
 DefaultDepth 24
 SubSection "Display"
  Depth 24
  Virtual 2560 1440
 EndSubSection
EndSection
CONF

# The first free display from 170 (the SDL rig starts at 150).
for n in $(seq 170 269); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  "$xorg" ":$n" -config "$dir/xorg.conf" -noreset -nolisten tcp -logfile "$dir/xorg.log" -novtswitch -sharevts \
    -quiet </dev/null >/dev/null 2>&1 &
  server=$!
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && xrandr -display ":$n" >/dev/null 2>&1 && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$server" 2>/dev/null && xrandr -display ":$n" >/dev/null 2>&1; then
    export DISPLAY=:$n
    break
  fi
  wait "$server" 2>/dev/null
  server=""
done
if [ -z "$server" ]; then
  echo "two_monitors: Xorg with the dummy driver did not start" >&2
  cat "$dir/xorg.log" >&2 2>/dev/null
  exit 1
fi
xrandr --output DUMMY0 --mode 640x480 --pos 0x0 &&
  xrandr --addmode DUMMY1 640x480 &&
  xrandr --output DUMMY1 --mode 640x480 --pos 640x0 &&
  # A full query probes the outputs: only then does the second count as connected.
  xrandr --query >/dev/null || { echo "two_monitors: xrandr could not set up two outputs" >&2; exit 1; }

export VITRINE_WINEPREFIX64=${VITRINE_MONITORS_PREFIX64:-$root/build/wine64-monitors}
export VITRINE_WINEPREFIX=${VITRINE_MONITORS_PREFIX32:-$root/build/wine32-monitors}
bash "$root/scripts/wine-run.sh" "$@"
rc=$?
# The prefixes' wineservers live on this server: they go before it does.
for prefix in "$VITRINE_WINEPREFIX64" "$VITRINE_WINEPREFIX"; do
  [ -d "$prefix" ] || continue
  for wineserver in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
    [ -x "$wineserver" ] || continue
    WINEPREFIX=$prefix timeout 30 "$wineserver" -k 2>/dev/null
    WINEPREFIX=$prefix timeout 30 "$wineserver" -w 2>/dev/null
    break
  done
done
exit $rc
