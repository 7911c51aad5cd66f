# Helpers for tests in any folder that run against the simulators (Windows builds only).
#
#   mrv_sim_driver(<target> DIRECTORY <dir> [MISSING <entry>...])
#       Builds a simulated "MRVINTER.DLL" into <dir>, lacking the named entry points in its
#       export table. Each variant needs its own folder: the file name is fixed.
#   mrv_sim_use_driver(<target>)
#       Copies the full simulated driver (target mrvsim_driver) next to <target>'s program, where
#       the system's library search finds "MRVINTER.DLL" first.
#   Tests that create the Play Server require the ctest fixture "sim" (it registers the Play
#   Server in the build tree's Wine prefix):  mrv_tests(<name> ... PROPERTIES FIXTURES_REQUIRED sim)

include_guard(GLOBAL)
set(MRV_SIM_DIR ${CMAKE_CURRENT_LIST_DIR})

function(mrv_sim_driver target)
  if(NOT MRV_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(A "" "DIRECTORY" "MISSING" ${ARGN})
  file(STRINGS ${MRV_SIM_DIR}/driver/Entries.h lines REGEX "^MRV_ENTRY\\(")
  set(def "LIBRARY MRVINTER.DLL\nEXPORTS\n")
  set(names "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^MRV_ENTRY\\(([A-Za-z0-9_]+), ([0-9])\\).*$" "\\1;\\2" pair "${line}")
    list(GET pair 0 name)
    list(GET pair 1 count)
    if(name IN_LIST A_MISSING)
      continue()
    endif()
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      math(EXPR bytes "${count} * 4")
      string(APPEND def "    ${name} = ${name}@${bytes}\n")
    else()
      string(APPEND def "    ${name}\n")
    endif()
    string(APPEND names "${name}\n")
  endforeach()
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/${target})
  file(GENERATE OUTPUT ${gen}.def CONTENT "${def}")
  file(GENERATE OUTPUT ${gen}.exports CONTENT "${names}")
  add_library(${target} SHARED ${MRV_SIM_DIR}/driver/Driver.cpp ${MRV_SIM_DIR}/driver/Exports.cpp
              ${gen}.def)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE mrvsim_common)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME MRVINTER SUFFIX ".DLL"
                        RUNTIME_OUTPUT_DIRECTORY ${A_DIRECTORY} ARCHIVE_OUTPUT_DIRECTORY ${A_DIRECTORY})
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${MRV_SIM_DIR}/driver/check-exports ${MRV_TRIPLE}-objdump
                             $<TARGET_FILE:${target}> ${gen}.exports
                     VERBATIM)
endfunction()

function(mrv_sim_use_driver target)
  if(NOT MRV_WINDOWS)
    return()
  endif()
  add_dependencies(${target} mrvsim_driver)
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:mrvsim_driver>
                             $<TARGET_FILE_DIR:${target}>/MRVINTER.DLL
                     VERBATIM)
endfunction()
