# 32-bit Windows with MinGW-w64 from Debian; the tests run under 32-bit Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

# zlib of Debian's MinGW package, and the libraries scripts/build-win32-deps.sh cross-builds.
get_filename_component(_vitrine_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(VITRINE_WIN32_DEPS "${_vitrine_root}/build/win32-deps" CACHE PATH "Cross-built libraries")
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32 ${VITRINE_WIN32_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian's MinGW zlib also has an import library; the static one keeps zlib1.dll away.
set(ZLIB_USE_STATIC_LIBS ON)

# One self-contained executable: no libgcc, libstdc++ or winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR "${_vitrine_root}/scripts/wine-run.sh")
