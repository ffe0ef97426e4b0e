# 32-bit Windows with MinGW-w64 from Debian; the tests run under 32-bit Wine.
set(VITRINE_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VITRINE_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
# Doubles in SSE2 registers, as in the 64-bit and the native builds: the x87 unit's wider
# intermediates round some results differently, so the same code would make other numbers
# (long double keeps the x87's 80 bits everywhere).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
