# Debian packages of the three deliverables, made by scripts/package:
#   libvelpad          the library, its header, the CMake and pkg-config files
#   velpad-tools       velrun, vpinpad with its scenarios, the example installation
#   velpad-pos-plugin  the POS payment plug-in and the host program poshost
# The packages' dependencies on system libraries come from dpkg-shlibdeps;
# the ones between them are declared here with the exact version.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velpad)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "velpad")
set(CPACK_PACKAGE_CONTACT "velpad maintainers <velpad@localhost>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)

set(CPACK_COMPONENTS_ALL library tools)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libvelpad)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION
    "host agent of a card-payment terminal with PIN pad\n"
    "libvelpad.so runs card operations on the terminal over a serial line or a\n"
    "TCP relay; with its header velpad.h, CMake package and pkg-config file.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME velpad-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "libvelpad (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "command-line tools of the card-payment terminal agent\n"
    "velrun runs one terminal operation and prints its result; velrun --check\n"
    "checks an installation. vpinpad plays a terminal from a scenario. With the\n"
    "example installation of a cash register.")

if(TARGET ProcessingOrvexMultimerchant)
  list(APPEND CPACK_COMPONENTS_ALL plugin)
  set(CPACK_DEBIAN_PLUGIN_PACKAGE_NAME velpad-pos-plugin)
  set(CPACK_DEBIAN_PLUGIN_PACKAGE_DEPENDS "velpad-tools (= ${PROJECT_VERSION})")
  set(CPACK_COMPONENT_PLUGIN_DESCRIPTION
      "payment plug-in of the POS host application\n"
      "libProcessingOrvexMultimerchant runs velrun once per payment request; poshost\n"
      "loads it the way the POS application does.")
endif()

include(CPack)
