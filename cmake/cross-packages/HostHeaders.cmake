# The host's header-only libraries in a cross build: an imported target whose
# include folder holds a link to the library's own header folder, so that the
# host's /usr/include (its C library) never reaches the cross compiler.
function(tessa_host_headers target folder)
  if(TARGET ${target})
    return()
  endif()
  set(root ${CMAKE_BINARY_DIR}/host-headers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK /usr/include/${folder} ${root}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root})
endfunction()
