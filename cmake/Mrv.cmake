# Build conventions shared by every subsystem folder.
#
#   mrv_library(<name> [SOURCES ...] [LIBS ...] [WIN_LIBS ...])
#       Static library of the folder's *.cpp (or SOURCES). Files ending in _win.cpp build only for
#       Windows, files ending in _posix.cpp only natively. Includes are rooted at the repository
#       ("foundation/Strings.h").
#   mrv_tests(<name> [SOURCES ...] [LIBS ...] [WIN_LIBS ...] [PROPERTIES ...])
#       One GoogleTest executable from the folder's tests/*_test.cpp (same suffix rule), each test
#       a ctest entry; under Wine every entry needs the "wine" fixture, and the fixtures named
#       by PROPERTIES FIXTURES_REQUIRED <name>... as well (for example "sim").
#   mrv_fuzzer(<name> SOURCES ... LIBS ... [CORPUS dir])      (fuzz preset only)
#   mrv_benchmark(<name> SOURCES ... LIBS ...)                 (bench preset only)
#
# MRV_WINDOWS   building for Windows (either width)
# MRV_RUN_TESTS tests are registered with ctest (win64 under Wine, native); off for i686
# MRV_WINE_RUN  the Wine wrapper of this build tree (win64), for tests that start programs

include_guard(GLOBAL)

if(WIN32)
  set(MRV_WINDOWS ON)
else()
  set(MRV_WINDOWS OFF)
endif()

if(MRV_FUZZ OR MRV_BENCH)
  set(MRV_RUN_TESTS OFF)
  set(MRV_BUILD_TESTS OFF)
elseif(MRV_WINDOWS AND NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MRV_RUN_TESTS OFF)   # no 32-bit Wine here: build and link only
  set(MRV_BUILD_TESTS ON)
else()
  set(MRV_RUN_TESTS ON)
  set(MRV_BUILD_TESTS ON)
endif()

set(MRV_TOOLS ${PROJECT_SOURCE_DIR}/tools)

if(MRV_WINDOWS)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
elseif(MRV_FUZZ)
  add_compile_options(-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(MRV_BENCH)
  add_compile_options(-O2 -Wall -Wextra -Wno-unused-parameter)
else()
  add_compile_options(-g -Wall -Wextra -Wno-unused-parameter -fno-omit-frame-pointer
                      -fsanitize=address,undefined -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# --- Wine: the build tree's own prefix, and a wrapper that pins it --------------------------------
if(MRV_WINDOWS AND MRV_RUN_TESTS)
  set(MRV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(MRV_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.in ${MRV_WINE_RUN}
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  enable_testing()
  # The fixture prepares the prefix once and keeps one wineserver alive with its stdio detached,
  # so no test inherits Wine's background processes and ctest never waits on them.
  add_test(NAME wine.start COMMAND ${MRV_TOOLS}/wine-prefix start ${MRV_WINEPREFIX})
  add_test(NAME wine.stop COMMAND ${MRV_TOOLS}/wine-prefix stop ${MRV_WINEPREFIX}
                                   ${MRV_WINEPREFIX}-display)
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 180)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
elseif(MRV_RUN_TESTS OR MRV_FUZZ)
  enable_testing()
endif()

# --- GoogleTest, built from Debian's sources with the compiler at hand ----------------------------
if(MRV_BUILD_TESTS AND NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL SYSTEM)
  include(GoogleTest)
endif()

function(_mrv_sources out)
  set(list ${ARGN})
  if(MRV_WINDOWS)
    list(FILTER list EXCLUDE REGEX "_posix(_test)?\\.cpp$")
  else()
    list(FILTER list EXCLUDE REGEX "_win(_test)?\\.cpp$")
  endif()
  set(${out} ${list} PARENT_SCOPE)
endfunction()

function(mrv_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;WIN_LIBS" ${ARGN})
  if(NOT A_SOURCES)
    file(GLOB A_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  _mrv_sources(srcs ${A_SOURCES})
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  if(MRV_WINDOWS)
    target_link_libraries(${name} PUBLIC ${A_WIN_LIBS})
  endif()
endfunction()

function(mrv_tests name)
  if(NOT MRV_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;WIN_LIBS;PROPERTIES" ${ARGN})
  if(NOT A_SOURCES)
    file(GLOB A_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_test.cpp)
  endif()
  _mrv_sources(srcs ${A_SOURCES})
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest_main)
  if(MRV_WINDOWS)
    target_link_libraries(${name} PRIVATE ${A_WIN_LIBS})
  endif()
  if(NOT MRV_RUN_TESTS)
    return()
  endif()
  # FIXTURES_REQUIRED is taken out of the properties and set, together with "wine", by an
  # include file that ctest reads after the discovered tests: a list value does not survive the
  # discovery's own argument passing, and a second FIXTURES_REQUIRED would replace the first.
  set(props "")
  set(fixtures "")
  set(taking OFF)
  foreach(item IN LISTS A_PROPERTIES)
    if(item STREQUAL "FIXTURES_REQUIRED")
      set(taking ON)
    elseif(taking AND NOT item MATCHES "^[A-Z_]+$")
      list(APPEND fixtures ${item})
    else()
      set(taking OFF)
      list(APPEND props ${item})
    endif()
  endforeach()
  if(MRV_WINDOWS)
    list(PREPEND fixtures wine)
  endif()
  list(REMOVE_DUPLICATES fixtures)
  if(fixtures)
    set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_fixtures.cmake)
    file(WRITE ${include_file}
         "foreach(t IN LISTS ${name}_TESTS)\n"
         "  set_tests_properties(\"\${t}\" PROPERTIES FIXTURES_REQUIRED \"${fixtures}\")\n"
         "endforeach()\n")
  endif()
  gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_MODE PRE_TEST
                       DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 120 ${props})
  if(fixtures)
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
  endif()
endfunction()

function(mrv_fuzzer name)
  if(NOT MRV_FUZZ)
    return()
  endif()
  cmake_parse_arguments(A "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  # A replay of the seeds plus a short fixed-seed run: deterministic, so it cannot flake.
  set(corpus ${A_CORPUS})
  if(NOT corpus)
    set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  endif()
  add_test(NAME fuzz.${name}
           COMMAND ${MRV_TOOLS}/fuzz-smoke $<TARGET_FILE:${name}> ${corpus})
  set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 300)
endfunction()

function(mrv_benchmark name)
  if(NOT MRV_BENCH)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark)
endfunction()

if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/Idl.cmake)
  include(${CMAKE_CURRENT_LIST_DIR}/Idl.cmake)
endif()
