# 64-bit Windows with MinGW-w64 from Debian; the tests run under wine64 in a 64-bit prefix.
set(VITRINE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VITRINE_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
