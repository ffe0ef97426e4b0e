# Third-party libraries. Natively they come from Debian's -dev packages; the win32 build
# takes zlib from Debian's MinGW package and libjpeg-turbo / libtiff from the prefix that
# scripts/build-win32-deps.sh cross-builds (VITRINE_WIN32_DEPS).
find_package(ZLIB REQUIRED)
find_package(JPEG REQUIRED)
find_package(TIFF)
# A static libtiff does not bring the codecs it was built with.
if(TARGET TIFF::TIFF AND TIFF_LIBRARY MATCHES "\\.a$")
  set_property(TARGET TIFF::TIFF APPEND PROPERTY INTERFACE_LINK_LIBRARIES JPEG::JPEG ZLIB::ZLIB)
endif()
find_package(Threads REQUIRED)

if(NOT WIN32)
  find_package(PkgConfig)
  if(PkgConfig_FOUND)
    pkg_check_modules(FREETYPE IMPORTED_TARGET freetype2)
    pkg_check_modules(FONTCONFIG IMPORTED_TARGET fontconfig)
  endif()
endif()

set(VITRINE_CORPUS_DIR "${PROJECT_SOURCE_DIR}/build/corpus" CACHE PATH
    "Real test pictures unpacked from Debian source packages (scripts/fetch-corpus.sh)")

if(VITRINE_TESTS)
  if(CMAKE_CROSSCOMPILING)
    # Debian ships GoogleTest as sources; compile them with the cross compiler.
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # Newer GoogleTest releases name their targets GTest::* themselves.
    foreach(lib gtest gmock gtest_main gmock_main)
      if(NOT TARGET GTest::${lib})
        add_library(GTest::${lib} ALIAS ${lib})
      endif()
    endforeach()
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

if(VITRINE_BENCH)
  find_package(benchmark REQUIRED)
endif()

# The real-time Linux player: SDL2 for the window, input and sound, Xlib for foreign windows.
if(NOT WIN32)
  find_package(SDL2 CONFIG QUIET)
  find_package(X11 QUIET)
endif()
