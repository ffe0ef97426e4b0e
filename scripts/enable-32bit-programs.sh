#!/usr/bin/env bash
# Makes 32-bit x86 Linux programs (Wine's loader and server) runnable on a kernel that does
# not run them itself, by handing them to qemu's user-mode emulator through binfmt_misc.
# Does nothing where they already run. Needs root; safe to run again.
set -u

probe=/usr/lib/wine/wineserver32
[ -x "$probe" ] || probe=/usr/lib/wine/wine
if [ -x "$probe" ] && "$probe" --version >/dev/null 2>&1; then
  exit 0  # the kernel runs them, or the emulator is already registered
fi

emulator=/usr/bin/qemu-i386-static
if [ ! -x "$emulator" ]; then
  echo "enable-32bit-programs: $emulator is missing (apt-get install qemu-user-static)" >&2
  exit 1
fi

binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/register" ]; then
  mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || {
    echo "enable-32bit-programs: cannot mount $binfmt" >&2
    exit 1
  }
fi

if [ ! -e "$binfmt/qemu-i386" ]; then
  # ELF, 32-bit, little-endian, executable or shared object, machine i386. 'F' opens the
  # emulator now, so it works inside chroots and namespaces too.
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$emulator"':F' \
    >"$binfmt/register" 2>/dev/null || {
    echo "enable-32bit-programs: cannot register the emulator with binfmt_misc" >&2
    exit 1
  }
fi
echo "enable-32bit-programs: 32-bit programs run through $emulator"
