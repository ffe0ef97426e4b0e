# 32-bit Windows with MinGW-w64 from Debian; the tests run under 32-bit Wine.
set(VITRINE_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VITRINE_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
