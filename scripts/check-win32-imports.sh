#!/usr/bin/env bash
# Fails when a Windows executable in the given folder imports a DLL that Windows does not
# ship (libstdc++, libgcc, winpthread, zlib1, ... would have to sit beside it). The 64-bit
# objdump reads both 32-bit and 64-bit executables.
set -euo pipefail
dir=${1:?usage: check-win32-imports.sh <folder with .exe files>}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|winmm|msacm32|msvcrt|ws2_32|version|shlwapi|msimg32|imm32|uuid|rpcrt4|bcrypt|crypt32|dwmapi|uxtheme|powrprof|secur32|api-ms-win-.*)\.dll$'
shopt -s nullglob
exes=("$dir"/*.exe "$dir"/*.scr)
[ ${#exes[@]} -gt 0 ] || { echo "no .exe or .scr in $dir" >&2; exit 1; }
bad=0
for exe in "${exes[@]}"; do
  while read -r dll; do
    if ! echo "${dll,,}" | grep -Eq "$allowed"; then
      echo "$(basename "$exe") needs $dll" >&2
      bad=1
    fi
  done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
[ $bad -eq 0 ] && echo "${#exes[@]} executables import only system DLLs"
exit $bad
