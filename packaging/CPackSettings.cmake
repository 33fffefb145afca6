# The Debian packages: `cpack -G DEB` in the build folder makes, from the install rules' two
# components, quillet-tools_<version>_<arch>.deb (quillet-send and its network library, no Qt)
# and quillet_<version>_<arch>.deb (the window and the virtual printer), which depends on
# quillet-tools for the library. Their other dependencies come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "The Quillet developers")
set(CPACK_PACKAGE_CONTACT "The Quillet developers <developers@quillet.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL quillet tools)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE quillet)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLET_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The window's libZEVarUV.so lies in the tools package; dpkg-shlibdeps finds it in the build.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/${QUILLET_PRIVATE_LIBDIR})

set(CPACK_DEBIAN_QUILLET_PACKAGE_NAME quillet)
set(CPACK_DEBIAN_QUILLET_PACKAGE_DEPENDS "quillet-tools (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_QUILLET_DESCRIPTION "exercise ESC/POS receipt printers
Quillet checks that a receipt printer is attached and answering. Pick how
the printer is connected (a serial port, a parallel or USB line-printer
device, or a network printer on TCP port 9100), keep or edit a short test
text, and print it, cut the paper or open the cash drawer: the exact ESC/POS
bytes go out over the chosen connection, and every failure is reported
plainly.
.
This package holds the window and the virtual printer.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME quillet-tools)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION "exercise ESC/POS receipt printers from a shell
quillet-send prints Quillet's test text, cuts the paper, opens the cash
drawer, asks a receipt printer for its status or sends prepared ESC/POS
files, over a serial port, a parallel or USB line-printer device or the
network, with the exit codes scripts need.
.
This package needs no desktop: a server or a till installs it alone.")

# No ldconfig calls for the private library folder (see the script).
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/DropLdconfigCalls.cmake)

include(CPack)
