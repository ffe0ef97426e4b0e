# Downloading Debian source packages, for the scripts that need upstream trees or test files.
# Sourced, not run.

# download_source PKG DIR: downloads the source package PKG into DIR (which must exist) and
# prints the path of its upstream tarball. The newest revision's .dsc or diff is sometimes
# missing on the mirror while the upstream tarball (shared by every revision) is there, so
# older revisions are tried, newest first, until the tarball is in DIR. Fails, with the
# download errors on stderr, when no revision has one.
download_source() {
  local pkg=$1 dir=$2 ver orig=""
  for ver in "" $(apt-cache showsrc "$pkg" | sed -n 's/^Version: //p' | sort -r -V); do
    (cd "$dir" && apt-get source --download-only -q "$pkg${ver:+=$ver}" >>download.log 2>&1) || true
    orig=$(find "$dir" -maxdepth 1 -name '*.orig.tar.*' ! -name '*.asc' | head -n1)
    [ -z "$orig" ] || break
  done
  if [ -z "$orig" ]; then
    grep -E '^(E|Err):' "$dir/download.log" >&2 || cat "$dir/download.log" >&2
    return 1
  fi
  echo "$orig"
}

# unpack_source_tree PKG DEST SCRATCH: the source tree of PKG in DEST, with Debian's patches
# applied where a complete revision was downloaded, else the upstream tarball as it is.
unpack_source_tree() {
  local pkg=$1 dest=$2 scratch=$3 orig dsc
  orig=$(download_source "$pkg" "$scratch") || return 1
  dsc=$(find "$scratch" -maxdepth 1 -name '*.dsc' | sort -V | tail -n1)
  if [ -n "$dsc" ] && dpkg-source -x "$dsc" "$scratch/tree" >>"$scratch/download.log" 2>&1; then
    mv "$scratch/tree" "$dest"
    return 0
  fi
  echo "no Debian revision of $pkg could be unpacked; using $(basename "$orig")" >&2
  mkdir -p "$dest"
  tar -xf "$orig" -C "$dest" --strip-components=1
}
