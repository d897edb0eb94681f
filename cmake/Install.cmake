# What an installation holds besides the programs and libraries themselves:
# the CMake package and pkg-config file of libvelpad, the manual pages, the
# ready scenarios of vpinpad and the example installation.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VELPAD_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/velpad)
install(EXPORT velpadTargets NAMESPACE velpad:: DESTINATION ${VELPAD_CMAKE_DIR}
        COMPONENT library)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/velpadConfig.cmake.in
  ${CMAKE_BINARY_DIR}/velpadConfig.cmake INSTALL_DESTINATION ${VELPAD_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/velpadConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/velpadConfig.cmake ${CMAKE_BINARY_DIR}/velpadConfigVersion.cmake
        DESTINATION ${VELPAD_CMAKE_DIR} COMPONENT library)

# The prefix is found from the file's own place, so the installed tree can be
# moved (or unpacked under another root) and still give the right paths.
file(RELATIVE_PATH VELPAD_PC_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/velpad.pc.in ${CMAKE_BINARY_DIR}/velpad.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/velpad.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT library)

install(FILES ${PROJECT_SOURCE_DIR}/man/velpad.3 DESTINATION ${CMAKE_INSTALL_MANDIR}/man3
        COMPONENT library)
install(FILES ${PROJECT_SOURCE_DIR}/man/velrun.1 ${PROJECT_SOURCE_DIR}/man/vpinpad.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tools)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/install/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/velpad/examples COMPONENT tools)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/tools/vpinpad/scenarios/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/velpad/scenarios COMPONENT tools)
