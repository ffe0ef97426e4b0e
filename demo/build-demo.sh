#!/bin/sh
# Builds the demo package from material made here: pictures in eight formats drawn with
# ImageMagick, a chord for the music and a short test-pattern video from ffmpeg (sox makes
# the chord when ffmpeg is missing). Nothing is taken from elsewhere.
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
have_ffmpeg=false
command -v ffmpeg >/dev/null 2>&1 && have_ffmpeg=true

mkdir -p "$out"
m=$out/material
rm -rf "$m"
mkdir -p "$m"
# Fixed seeds, and no time stamps in the PNGs, keep the package the same on every run.
png="-depth 8 -define png:exclude-chunks=date,time"

# Show pictures, one format each. Most are smaller than the 960x540 render so that the
# backgrounds and texts around them stay visible; the JPEG is larger and gets shrunk.
$convert -size 480x360 gradient:'#ff9a50'-'#3a2070' \
  -fill '#ffd878' -draw 'circle 240,262 240,212' \
  -fill '#183050' -draw 'rectangle 0,262 479,359' \
  -fill '#ffd878' -draw 'rectangle 200,272 280,276 rectangle 215,290 265,293 rectangle 228,308 252,310' \
  BMP3:"$m/sunset.bmp"
$convert -size 800x600 -seed 7 plasma:fractal -blur 0x2 -quality 88 "$m/plasma.jpg"
$convert -size 400x400 radial-gradient: -function Sinusoid 7,90 \
  +level-colors '#10306a','#70e0ff' $png "$m/rings.png"
# The star stands on a key colour (the top-left pixel) that a transparent item lets the
# background show through; without anti-aliasing no blended pixels fringe its edge.
$convert -size 360x360 xc:'#ff00ff' +antialias -fill '#ffc820' -stroke '#a04000' -strokewidth 8 \
  -draw 'polygon 180,20 222,128 338,128 244,196 280,310 180,242 80,310 116,196 22,128 138,128' \
  "$m/star.gif"
$convert -size 320x480 gradient: -rotate 90 -function Sinusoid 9,0 \
  +level-colors '#7a1828','#ffe4a8' -depth 8 "$m/stripes.tga"
$convert -size 440x330 -seed 3 plasma:green-blue -blur 0x3 -posterize 6 "$m/contours.pcx"
$convert -size 460x300 gradient: -function Sinusoid 5,0 -swirl 200 \
  +level-colors '#203818','#c8f080' -depth 8 "$m/swirl.ppm"
$convert -size 420x420 -seed 11 plasma:fractal -scale 5% -scale 2000% -depth 8 "$m/blocks.sgi"

# Background images: a brick pattern for tiling and soft dunes for fitting and stretching.
$convert -size 64x48 pattern:bricks -scale 400% +level-colors '#5a2418','#c88a64' $png "$m/bricks.png"
$convert -size 640x360 gradient:'#f0d8a0'-'#b06830' -seed 5 \( -size 640x360 plasma:grey50-grey50 -blur 0x12 \) \
  -compose overlay -composite -quality 90 "$m/dunes.jpg"

$convert -size 120x300 gradient:'#000000'-'#4080ff' BMP3:"$m/banner.bmp"

# Music: a few seconds of a C major chord.
if $have_ffmpeg; then
  ffmpeg -loglevel error -y -f lavfi \
    -i 'aevalsrc=0.2*sin(2*PI*261.63*t)+0.2*sin(2*PI*329.63*t)+0.2*sin(2*PI*392*t):s=22050:d=4' \
    -af 'afade=t=in:d=0.05,afade=t=out:st=3.5:d=0.5' -map_metadata -1 -fflags +bitexact -c:a pcm_s16le \
    "$m/chord.wav"
elif command -v sox >/dev/null 2>&1; then
  sox -n -r 22050 -b 16 -c 1 "$m/chord.wav" synth 4 sine 261.63 sine 329.63 sine 392 channels 1 fade 0.05 4 0.5
else
  echo "$0: note: neither ffmpeg nor sox is installed; the demo has no music" >&2
fi

# Video: three seconds of ffmpeg's test pattern.
if $have_ffmpeg; then
  ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=10 -t 3 -c:v mjpeg -q:v 4 \
    -map_metadata -1 -fflags +bitexact "$m/clip.avi"
fi

# The Flash movies: vector shapes and a bitmap, and snow its own script makes, both written by
# the Flash tests' own SWF writer (tests/flash/demo_movie.h; the flash tests check that these
# files are what it writes).
cp "$here/shapes.swf" "$m/shapes.swf"
cp "$here/snow.swf" "$m/snow.swf"
cp "$here/effects.swf" "$m/effects.swf"

# The manifest names every file; items whose file could not be made are dropped from it.
manifest="$m/manifest.json"
cp "$here/manifest.json" "$manifest"
if [ ! -f "$m/clip.avi" ]; then
  echo "$0: note: ffmpeg is not installed; the demo has no video item" >&2
  sed -i '/"clip.avi"/d' "$manifest"
fi
if [ ! -f "$m/chord.wav" ]; then
  sed -i '/"Music":/d' "$manifest"
fi

if [ -n "$player" ]; then
  target="$out/vitrine-demo.scr"
  "$vitrine" pack "$manifest" -o "$target" --player "$player"
else
  target="$out/vitrine-demo.pkg"
  "$vitrine" pack "$manifest" -o "$target"
fi
"$vitrine" info "$target" --json > "$out/vitrine-demo.json"
"$vitrine" info "$target" | sed -n '1,2p'
echo "built $target"
