# One static library per folder of src/: every .cpp directly in the folder (and in the
# subfolders named with SUBDIRS) is compiled; headers are included as "folder/file.h".
function(vitrine_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;SUBDIRS;EXCLUDE" ${ARGN})
  # The fuzz targets link every library.
  set_property(GLOBAL APPEND PROPERTY VITRINE_LIBRARIES ${name})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(sub IN LISTS ARG_SUBDIRS)
    file(GLOB more CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
    list(APPEND sources ${more})
  endforeach()
  foreach(pattern IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    # A folder whose sources are still to come links as nothing.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One test executable per library: every .cpp in tests/<folder>/. Registered as one CTest
# test; the win32 build runs it through the cross-compiling emulator (Wine).
function(vitrine_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} vitrine_test_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "VITRINE_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;VITRINE_CORPUS=${VITRINE_CORPUS_DIR}"
    TIMEOUT 1800)
  if(VITRINE_SANITIZE)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
      "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp:print_suppressions=0")
  endif()
  if(CMAKE_CROSSCOMPILING AND VITRINE_WINE_ARCH STREQUAL "win32")
    # scripts/wine-run.sh exits 77 where the kernel cannot run 32-bit programs; the win64
    # tests always run.
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endfunction()
