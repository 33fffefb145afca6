# quillet_private_headers(<target> <header>...): headers of the current folder that only the
# folder itself (with its tests and benchmarks) includes. They join the target as private
# sources, and the test cmake_private_headers_test fails when a file anywhere else includes
# one. The include root is shared by every library, so this check is what keeps them private.
function(quillet_private_headers target)
  target_sources(${target} PRIVATE ${ARGN})
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(header ${ARGN})
    set_property(GLOBAL APPEND PROPERTY QUILLET_PRIVATE_HEADERS "${folder}/${header}")
  endforeach()
endfunction()
