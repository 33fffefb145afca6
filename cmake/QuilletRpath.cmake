# Where the programs find libZEVarUV.so: relative to themselves, never through an absolute
# build folder and never through an empty entry (which would mean the current directory).
#
# The library is private to Quillet: installed in <prefix>/lib/quillet (no linker cache entry),
# and built into <build>/lib/quillet, so the installed programs' search path
# "$ORIGIN:$ORIGIN/../lib/quillet" serves the build tree as it is (every program lies one
# folder below the build folder) and CMake never rewrites it at install. A rewritten path
# would be padded with a trailing separator, an empty entry. "$ORIGIN" keeps a program copied
# with the library beside it working.
include(GNUInstallDirs)
set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
set(QUILLET_PRIVATE_LIBDIR lib/quillet)
set(QUILLET_PROGRAM_RPATH "\$ORIGIN" "\$ORIGIN/../${QUILLET_PRIVATE_LIBDIR}")

# The private library: built where the programs look for it, with no search path of its own
# (it needs nothing but the C library).
function(quillet_private_library target)
  set_target_properties(${target} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${QUILLET_PRIVATE_LIBDIR}
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "")
endfunction()

# An installed program: the same search path in the build tree and once installed.
function(quillet_program_search_path target)
  set_target_properties(${target} PROPERTIES
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "${QUILLET_PROGRAM_RPATH}")
endfunction()
