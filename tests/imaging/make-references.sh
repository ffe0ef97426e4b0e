#!/usr/bin/env bash
# Writes the pictures that other programs made, with those programs' own decodes of them, for
# the reader tests: ImageMagick, GraphicsMagick, libjpeg-turbo's cjpeg/djpeg and libtiff's
# tools run here, on the build machine, so that the test programs only read files (the
# Windows builds' tests run under Wine, where these tools cannot be started).
#
#   bash tests/imaging/make-references.sh OUTDIR
#
# A group whose tools are missing is left out, and the tests that need it fail (setup installs
# those tools with its core tier). Each reference decode is a binary PPM named after its
# picture.
set -u

out=${1:?usage: make-references.sh OUTDIR}
rm -rf "$out"
mkdir -p "$out/jpeg" "$out/bmp" "$out/tiff"

im=/usr/bin/convert  # the real one: wrappers of the same name may stand earlier in PATH
have() { [ -x "$1" ] || command -v "$1" >/dev/null 2>&1; }
# Runs a command quietly; the group stops at the first failure and its folder is emptied, so
# a half-made set never looks complete.
run() { "$@" >/dev/null 2>&1 || { echo "make-references: failed: $*" >&2; return 1; }; }

jpeg_group() {
  local d=$out/jpeg
  # An odd size catches MCU padding faults.
  run $im -size 37x23 plasma:fractal -seed 11 "$d/src.ppm" || return 1
  local name args
  while read -r name args; do
    run cjpeg $args -outfile "$d/$name.jpg" "$d/src.ppm" || return 1
    run djpeg -pnm -outfile "$d/$name.ppm" "$d/$name.jpg" || return 1
  done <<'EOF'
q90 -quality 90
h2v1 -quality 90 -sample 2x1
h1v1 -quality 90 -sample 1x1
progressive -progressive
grey -grayscale
restart -restart 1 -optimize
q85 -quality 85
EOF
  local scale
  for scale in 4 3 1; do
    run djpeg -scale "$scale/8" -pnm -outfile "$d/q85_scale$scale.ppm" "$d/q85.jpg" || return 1
  done
  run $im "$d/src.ppm" -colorspace CMYK -quality 95 "$d/cmyk.jpg" || return 1
  run $im "$d/cmyk.jpg" -colorspace sRGB -depth 8 "ppm:$d/cmyk.ppm" || return 1
}

bmp_group() {
  local d=$out/bmp
  run $im -size 37x23 plasma:fractal -seed 7 "$d/src.ppm" || return 1
  run $im "$d/src.ppm" -colors 200 "$d/pal.ppm" || return 1
  local writer name source args
  while read -r writer name source args; do
    [ "$writer" = gm ] && { have gm || continue; writer="gm convert"; }
    [ "$writer" = im ] && writer=$im
    run $writer "$d/$source" $args "${name%%:*}:$d/${name#*:}.bmp" || return 1
    run $im "$d/${name#*:}.bmp" -alpha off -depth 8 "ppm:$d/${name#*:}.ppm" || return 1
  done <<'EOF'
im BMP3:info24 src.ppm
im BMP2:core24 src.ppm
im BMP:v5_24 src.ppm
im BMP3:pal8 pal.ppm -type Palette -compress None
im BMP3:pal4 src.ppm -colors 12 -type Palette -compress None
im BMP3:pal1 src.ppm -monochrome
im BMP3:rle8 pal.ppm -type Palette -compress RLE
im BMP:rgb565 src.ppm -define bmp:subtype=RGB565
im BMP:rgb555 src.ppm -define bmp:subtype=RGB555
im BMP:argb32 src.ppm -alpha set -channel A -evaluate set 50% +channel
gm BMP2:gm_core8 src.ppm -colors 100
gm BMP3:gm_rle8 src.ppm -colors 100 -compress RLE
EOF
  # The 8-bit file again with 40 bytes between its palette and its pixels, the pixel offset in
  # the file header saying so (writers that align their pixel data do this).
  local offset
  offset=$(od -An -tu4 -j10 -N4 "$d/pal8.bmp" | tr -d ' ')
  {
    head -c "$offset" "$d/pal8.bmp"
    head -c 40 /dev/zero | tr '\0' '\125'
    tail -c +"$((offset + 1))" "$d/pal8.bmp"
  } >"$d/gap8.bmp"
  local size=$(( $(stat -c %s "$d/pal8.bmp") + 40 )) at=$((offset + 40))
  printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((size & 255)) $((size >> 8 & 255)) $((size >> 16 & 255)) $((size >> 24)))" |
    dd of="$d/gap8.bmp" bs=1 seek=2 conv=notrunc status=none
  printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((at & 255)) $((at >> 8 & 255)) $((at >> 16 & 255)) $((at >> 24)))" |
    dd of="$d/gap8.bmp" bs=1 seek=10 conv=notrunc status=none
  run $im "$d/gap8.bmp" -alpha off -depth 8 "ppm:$d/gap8.ppm" || return 1
}

tiff_group() {
  local d=$out/tiff
  # Stored 88 wide and 590 high; the orientation tag says how to stand it up.
  run $im -size 88x590 gradient:'rgb(250,40,20)-rgb(20,60,240)' \
    \( -size 88x590 xc:none -fill 'rgb(30,200,60)' -draw 'rectangle 5,5 40,60' \) -composite \
    -alpha off -depth 8 -compress none "$d/stored.tif" || return 1
  local o
  for o in 1 2 3 4 5 6 7 8; do
    run tiffcp -c none "$d/stored.tif" "$d/orientation$o.tif" || return 1
    run tiffset -s 274 "$o" "$d/orientation$o.tif" || return 1
    run $im "$d/orientation$o.tif" -auto-orient -alpha off -depth 8 "ppm:$d/orientation$o.ppm" || return 1
  done
  # Grey in 12 and 16 bits from an 8-bit gradient, so that every decode to 8 bits is exact.
  run $im -size 61x37 gradient:black-white -rotate 90 -depth 8 "$d/grey.pgm" || return 1
  local bits
  for bits in 12 16; do
    run $im "$d/grey.pgm" -depth "$bits" -compress none "$d/grey$bits.tif" || return 1
    run $im "$d/grey$bits.tif" -depth 8 "ppm:$d/grey$bits.ppm" || return 1
  done
  run tiffcp -t -w 16 -l 16 "$d/grey12.tif" "$d/grey12_tiled.tif" || return 1
  # CIE L*a*b*, decoded by ImageMagick to sRGB: 16 bits of a saturated picture, 8 bits of a
  # moderate one (8-bit a* and b* are whole units, too coarse near the edge of the gamut).
  run $im -size 37x23 plasma:fractal -seed 5 -depth 8 "$d/saturated.ppm" || return 1
  run $im -size 37x23 gradient:'rgb(200,120,90)-rgb(70,150,210)' \
    \( -size 23x37 gradient:'rgb(90,200,80)-rgb(230,90,160)' -rotate 90 \) \
    -compose blend -define compose:args=50 -composite -depth 8 "$d/moderate.ppm" || return 1
  run $im "$d/saturated.ppm" -colorspace Lab -depth 16 -compress none "$d/lab16.tif" || return 1
  run $im "$d/moderate.ppm" -colorspace Lab -depth 8 -compress none "$d/lab8.tif" || return 1
  for bits in 8 16; do
    run $im "$d/lab$bits.tif" -colorspace sRGB -depth 8 "ppm:$d/lab$bits.ppm" || return 1
  done
  run tiffcp -t -w 16 -l 16 -c lzw "$d/lab16.tif" "$d/lab16_tiled.tif" || return 1
  # Greys in L*a*b* without a white point tag, which means D50: still neutral once in sRGB.
  run $im -size 37x23 gradient:gray10-gray95 -colorspace Lab -depth 16 -compress none "$d/labgrey.tif" || return 1
  run tiffcp "$d/labgrey.tif" "$d/labgrey_d50.tif" || return 1
  run tiffset -u 318 "$d/labgrey_d50.tif" || return 1
  run $im "$d/labgrey.tif" -colorspace sRGB -depth 8 "ppm:$d/labgrey.ppm" || return 1
}

status=0
group() {
  local name=$1
  shift
  for tool in "$@"; do
    have "$tool" || { echo "make-references: no $tool here, the $name references are left out" >&2; return 0; }
  done
  "${name}_group" || { rm -rf "${out:?}/$name"; status=1; }
}
group jpeg $im cjpeg djpeg
group bmp $im
group tiff $im tiffcp tiffset
# A tool that is there but fails is a fault of this machine's set-up, not a missing tool.
exit $status
