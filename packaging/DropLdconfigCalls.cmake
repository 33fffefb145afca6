# Run by CPack after it made the packages (CPACK_POST_BUILD_SCRIPTS). CPack adds postinst and
# postrm scripts calling ldconfig to every package with a shared library anywhere below /usr/lib,
# also in a private folder such as /usr/lib/quillet that the linker cache never reads. Such a
# package is unpacked, the two scripts are taken out and it is built again, its content as it
# was.
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND ${DPKG_DEB} --raw-extract "${package}" "${tree}"
    COMMAND_ERROR_IS_FATAL ANY)
  set(changed FALSE)
  foreach(script postinst postrm)
    if(EXISTS "${tree}/DEBIAN/${script}")
      # Only CPack's own script, which does nothing else: every line is one of its template.
      file(STRINGS "${tree}/DEBIAN/${script}" lines)
      set(own TRUE)
      foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        if(NOT line MATCHES "^(#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|ldconfig|fi|)$")
          set(own FALSE)
        endif()
      endforeach()
      if(own)
        file(REMOVE "${tree}/DEBIAN/${script}")
        set(changed TRUE)
      endif()
    endif()
  endforeach()
  if(changed)
    execute_process(COMMAND ${DPKG_DEB} --root-owner-group -Zxz --build "${tree}" "${package}"
      OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
