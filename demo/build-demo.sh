#!/bin/sh
# Builds the demo package: makes its pictures with ImageMagick, packs them with the vitrine
# tool and prints the package's contents.
#   demo/build-demo.sh VITRINE_EXE OUTDIR [PLAYER_EXE]
# Without PLAYER_EXE the package stands alone (vitrine-demo.pkg); with it the screen saver is
# OUTDIR/vitrine-demo.scr.
set -eu

if [ $# -lt 2 ]; then
  echo "usage: $0 VITRINE_EXE OUTDIR [PLAYER_EXE]" >&2
  exit 1
fi
vitrine=$1
out=$2
player=${3:-}
here=$(cd "$(dirname "$0")" && pwd)

if command -v magick >/dev/null 2>&1; then
  convert="magick"
elif command -v convert >/dev/null 2>&1; then
  convert="convert"
else
  echo "$0: ImageMagick (convert) is needed to make the demo pictures" >&2
  exit 1
fi

mkdir -p "$out"
# Fixed seeds keep the pictures, and so the package, the same on every run.
$convert -size 640x480 gradient:'#2050c0'-'#f0c040' BMP3:"$out/gradient.bmp"
$convert -size 640x480 -seed 7 plasma:fractal -quality 85 "$out/plasma.jpg"
$convert -size 320x240 pattern:checkerboard -scale 200% BMP3:"$out/checker.bmp"
$convert -size 120x300 gradient:'#000000'-'#4080ff' BMP3:"$out/banner.bmp"
cp "$here/manifest.json" "$out/manifest.json"

if [ -n "$player" ]; then
  target="$out/vitrine-demo.scr"
  "$vitrine" pack "$out/manifest.json" -o "$target" --player "$player"
else
  target="$out/vitrine-demo.pkg"
  "$vitrine" pack "$out/manifest.json" -o "$target"
fi
"$vitrine" info "$target" --json > "$out/vitrine-demo.json"
"$vitrine" info "$target" | grep -E '^(Positions|Project\.(SaverName|ShowSeconds)|Pictures\[[0-9]+\]\.(FileName|DataSize|PictureType|Caption) )'
echo "built $target"
