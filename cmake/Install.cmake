# Installation: the install prefix is the base folder of an HMI project (or of a template installation);
# the program folder lies below it. The program finds every other file from its own location.
set(QVZ_PROGRAM_DIR "program" CACHE STRING "Program folder below the install prefix (the base folder)")
set(CPACK_PACKAGING_INSTALL_PREFIX "/opt/documentation-config")
option(QVZ_SYSTEM_DESKTOP_ENTRY "Install the desktop entry to /usr/share/applications (packages)" OFF)

install(TARGETS Documentation_Config RUNTIME DESTINATION ${QVZ_PROGRAM_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/Documentation_Config.ini DESTINATION ${QVZ_PROGRAM_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/editor/images/ DESTINATION ${QVZ_PROGRAM_DIR}/images
        FILES_MATCHING PATTERN "*.gif")

# The desktop entry starts the editor standalone (no command words).
if(QVZ_SYSTEM_DESKTOP_ENTRY)
  set(QVZ_DESKTOP_EXEC "${CPACK_PACKAGING_INSTALL_PREFIX}/${QVZ_PROGRAM_DIR}/Documentation_Config")
  set(desktop_destination /usr/share/applications)
else()
  set(QVZ_DESKTOP_EXEC "${CMAKE_INSTALL_PREFIX}/${QVZ_PROGRAM_DIR}/Documentation_Config")
  set(desktop_destination share/applications)
endif()
configure_file(${CMAKE_SOURCE_DIR}/packaging/documentation-config.desktop.in
               ${CMAKE_BINARY_DIR}/documentation-config.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/documentation-config.desktop DESTINATION ${desktop_destination})

set(CPACK_PACKAGE_NAME "documentation-config")
set(CPACK_PACKAGE_VENDOR "HMI service tools")
set(CPACK_PACKAGE_CONTACT "service@localhost")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Customer documentation configuration program for HMI projects")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_WARN_ON_ABSOLUTE_INSTALL_DESTINATION OFF)
include(CPack)
