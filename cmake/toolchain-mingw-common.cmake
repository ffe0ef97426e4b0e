# What the 32-bit and 64-bit MinGW-w64 toolchains share. The including file sets
# VITRINE_MINGW_TRIPLE, CMAKE_SYSTEM_PROCESSOR and VITRINE_WINE_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VITRINE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VITRINE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VITRINE_MINGW_TRIPLE}-windres)

# zlib of Debian's MinGW package, and the libraries scripts/build-win-deps.sh cross-builds.
get_filename_component(_vitrine_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(VITRINE_WIN32_DEPS "${_vitrine_root}/build/${VITRINE_WINE_ARCH}-deps" CACHE PATH "Cross-built libraries")
set(CMAKE_FIND_ROOT_PATH /usr/${VITRINE_MINGW_TRIPLE} ${VITRINE_WIN32_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian's MinGW zlib also has an import library; the static one keeps zlib1.dll away.
set(ZLIB_USE_STATIC_LIBS ON)

# One self-contained executable: no libgcc, libstdc++ or winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The tests run under Wine of the same width (scripts/wine-run.sh win32|win64).
set(CMAKE_CROSSCOMPILING_EMULATOR "${_vitrine_root}/scripts/wine-run.sh;--arch;${VITRINE_WINE_ARCH}")
