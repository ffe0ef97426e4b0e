# pe_machine FILE: the machine field of a Windows program's PE header, in hex: 8664 for
# x86-64, 14c for i386. Sourced by the scripts that start Windows programs.
pe_machine() {
  local at
  at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$at" ] || return 1
  od -An -tx2 -j$((at + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
