#!/usr/bin/env bash
# Unpacks real test pictures from Debian source packages into build/corpus/<package>/.
# Only the folders holding pictures (and their expected-output files) are kept, with the
# paths they have in the upstream tree, plus the package's debian/copyright.
# A package already unpacked is skipped; delete its folder to fetch it again.
#
#   bash scripts/fetch-corpus.sh [package...]     (default: every package below)
#
# The reader tests find the folder through the VITRINE_CORPUS environment variable that CTest
# sets: without the folder the cases that read it are skipped, saying so; once it is there, a
# file missing from it fails the case that names it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
corpus=${VITRINE_CORPUS:-$root/build/corpus}

# package -> tar wildcards inside its orig tarball (the top folder of the tarball is dropped).
declare -A patterns=(
  [libpng1.6]='*/contrib/pngsuite/*'
  [giflib]='*/pic/* */tests/* */doc/whatsinagif/*.gif'
  [gdk-pixbuf]='*/tests/test-images/*'
  [kimageformats]='*/autotests/read/psd/* */autotests/read/tga/* */autotests/read/pcx/* */autotests/read/rgb/* */autotests/write/*'
  [graphicsmagick]='*/PerlMagick/t/input*'
  [imagemagick]='*/PerlMagick/t/input*'
  [libgd2]='*/tests/tga/* */tests/gif/* */tests/bmp/* */examples/*.sgi */examples/*.tga'
  [libsdl2-image]='*/test/*.bmp */test/*.pcx */test/*.tga */test/*.pnm */test/*.png */test/*.gif'
  [tiff]='*/test/images/*.p?m */doc/images/*.gif'
  [netpbm-free]='*/test/*.ppm */test/*.pbm */converter/ppm/pcxstd.ppm'
  [qt6-imageformats]='*/tests/shared/images/tga/*'
  [pillow]='*/Tests/images/bmp/* */Tests/images/tga/* */Tests/images/*.psd */Tests/images/*.pcx */Tests/images/*.sgi */Tests/images/*.bw */Tests/images/*.rgb'
)
# Binary packages whose files carry test data: package -> wildcards inside the .deb
# (./usr/share/<name>/src/ is dropped).
declare -A deb_patterns=(
  [golang-1.19-src]='./usr/share/go-1.19/src/image/png/testdata/* ./usr/share/go-1.19/src/image/testdata/*'
)
order=(libpng1.6 giflib gdk-pixbuf kimageformats graphicsmagick imagemagick libgd2 libsdl2-image
       tiff netpbm-free qt6-imageformats pillow golang-1.19-src)

wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || wanted=("${order[@]}")

mkdir -p "$corpus"
failed=()

# shellcheck source=lib/source-package.sh
. "$root/scripts/lib/source-package.sh"

# The words of a pattern list, never expanded against the files of the current folder.
words_of() {
  local -n into=$1
  read -r -a into <<<"$2"
}

unpack_source() {
  local pkg=$1 dest=$2 scratch=$3
  local orig
  orig=$(download_source "$pkg" "$scratch") || return 1
  local wildcards
  words_of wildcards "${patterns[$pkg]}"
  mkdir -p "$dest"
  # A wildcard that matches nothing makes tar complain; the others are still extracted.
  tar -xf "$orig" -C "$dest" --strip-components=1 --wildcards --no-same-owner \
      "${wildcards[@]}" 2>"$scratch/tar.log" || sed 's/^/  tar: /' "$scratch/tar.log" >&2
  local deb
  deb=$(find "$scratch" -maxdepth 1 -name '*.debian.tar.*' | head -n1)
  if [ -n "$deb" ]; then
    tar -xf "$deb" -C "$dest" --no-same-owner debian/copyright 2>/dev/null || true
  fi
  basename "$orig" | sed 's/\.orig\.tar\..*$//'
}

unpack_deb() {
  local pkg=$1 dest=$2 scratch=$3
  (cd "$scratch" && apt-get download -q "$pkg" >download.log 2>&1) || {
    cat "$scratch/download.log" >&2
    return 1
  }
  local deb wildcards
  deb=$(find "$scratch" -maxdepth 1 -name '*.deb' | head -n1)
  words_of wildcards "${deb_patterns[$pkg]}"
  mkdir -p "$dest"
  dpkg-deb --fsys-tarfile "$deb" |
    tar -x -C "$dest" --strip-components=5 --wildcards --no-same-owner "${wildcards[@]}" 2>"$scratch/tar.log" ||
    sed 's/^/  tar: /' "$scratch/tar.log" >&2
  basename "$deb" .deb
}

for pkg in "${wanted[@]}"; do
  dest=$corpus/$pkg
  if [ -f "$dest/.fetched" ]; then
    echo "corpus: $pkg present ($(cat "$dest/.fetched"))"
    continue
  fi
  if [ -z "${patterns[$pkg]+x}" ] && [ -z "${deb_patterns[$pkg]+x}" ]; then
    echo "corpus: unknown package $pkg" >&2
    failed+=("$pkg")
    continue
  fi
  rm -rf "$dest"
  scratch=$(mktemp -d "$corpus/.scratch.XXXXXX")
  echo "corpus: fetching $pkg ..."
  if [ -n "${patterns[$pkg]+x}" ]; then
    version=$(unpack_source "$pkg" "$dest" "$scratch") || version=""
  else
    version=$(unpack_deb "$pkg" "$dest" "$scratch") || version=""
  fi
  rm -rf "$scratch"
  count=$( (find "$dest" -type f 2>/dev/null || true) | wc -l)
  if [ -z "$version" ] || [ "$count" -eq 0 ]; then
    echo "corpus: FAILED $pkg" >&2
    rm -rf "$dest"
    failed+=("$pkg")
    continue
  fi
  # Marks the folder complete: an interrupted run leaves no marker and is redone.
  echo "$version" >"$dest/.fetched"
  echo "corpus: $pkg -> $dest ($count files, $version)"
done

echo "corpus: pictures are in $corpus"
if [ ${#failed[@]} -gt 0 ]; then
  echo "corpus: could not fetch: ${failed[*]}" >&2
  exit 1
fi
