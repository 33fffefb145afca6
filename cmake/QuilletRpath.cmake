# Programs find libZEVarUV.so relative to themselves, never through an absolute build folder:
# beside the executable, in ../lib, or (installed) in ../<libdir>. The build tree's own search
# path is made relative too, so a copied build keeps working.
include(GNUInstallDirs)
set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
set(QUILLET_ORIGIN_RPATH "\$ORIGIN" "\$ORIGIN/../lib")
if(NOT CMAKE_INSTALL_LIBDIR STREQUAL "lib")
  list(APPEND QUILLET_ORIGIN_RPATH "\$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
endif()
set(CMAKE_BUILD_RPATH ${QUILLET_ORIGIN_RPATH})
set(CMAKE_INSTALL_RPATH ${QUILLET_ORIGIN_RPATH})
