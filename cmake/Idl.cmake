# Interface definitions compiled by widl (Windows builds only).
#
#   mrv_idl(<target> <file.idl>)
#       Runs widl on the file (relative to the current source folder) and writes <name>.h,
#       <name>_i.c and <name>.tlb into the current binary folder. <target> is a static library of
#       the interface and class identifiers; linking to it gives the header, included as rooted
#       at the repository ("engine/Mrvplayserverlib.h"). The type library's full path is the
#       target's property MRV_TLB (for a resource line: 1 TYPELIB "<path>").

include_guard(GLOBAL)

# stdole2.tlb exists only in the 64-bit Wine tree; widl imports it for either width.
set(MRV_WIDL_INCLUDE /usr/include/wine/wine/windows CACHE PATH "widl import folder")
set(MRV_WIDL_LIBDIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "folder of stdole2.tlb")

function(mrv_idl target idl)
  if(NOT MRV_WINDOWS)
    return()
  endif()
  get_filename_component(src ${idl} ABSOLUTE)
  get_filename_component(name ${idl} NAME_WE)
  set(out ${CMAKE_CURRENT_BINARY_DIR})
  add_custom_command(
    OUTPUT ${out}/${name}.h ${out}/${name}_i.c ${out}/${name}.tlb
    COMMAND ${MRV_WIDL} ${MRV_WIDL_FLAGS} -I${MRV_WIDL_INCLUDE} -L${MRV_WIDL_LIBDIR}
            -t -h -u -T ${out}/${name}.tlb -H ${out}/${name}.h -U ${out}/${name}_i.c ${src}
    DEPENDS ${src}
    COMMENT "widl ${name}.idl"
    VERBATIM)
  add_library(${target} STATIC ${out}/${name}_i.c ${out}/${name}.h)
  target_include_directories(${target} PUBLIC ${PROJECT_BINARY_DIR} ${out})
  target_link_libraries(${target} PUBLIC ole32 oleaut32 uuid)
  set_target_properties(${target} PROPERTIES MRV_TLB ${out}/${name}.tlb)
  add_custom_target(${target}_tlb DEPENDS ${out}/${name}.tlb ${out}/${name}.h)
  add_dependencies(${target} ${target}_tlb)
endfunction()

# The simulators' helpers (mrv_sim_driver, mrv_sim_use_driver) for tests in any folder.
include(${PROJECT_SOURCE_DIR}/sim/Sim.cmake OPTIONAL)
