# The Debian package: `cpack -G DEB` in the build folder makes quillet_<version>_<arch>.deb from
# the install rules. Its library dependencies come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "The Quillet developers")
set(CPACK_PACKAGE_CONTACT "The Quillet developers <developers@quillet.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "exercise ESC/POS receipt printers")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillet checks that a receipt printer is attached and answering. Pick how
the printer is connected (a serial port, a parallel or USB line-printer
device, or a network printer on TCP port 9100), keep or edit a short test
text, and print it, cut the paper or open the cash drawer: the exact ESC/POS
bytes go out over the chosen connection, and every failure is reported
plainly.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLET_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The network library lies in a folder the dynamic linker caches.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/triggers)

include(CPack)
