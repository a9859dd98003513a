# Installation: the install prefix is the base folder of an HMI project (or of a template installation);
# the program folder lies below it. The program finds every other file from its own location.
set(QVZ_PROGRAM_DIR "program" CACHE STRING "Program folder below the install prefix (the base folder)")
set(QVZ_DESKTOP_DIR "share/applications" CACHE STRING "Folder of the desktop entry below the install prefix")

install(TARGETS Documentation_Config RUNTIME DESTINATION ${QVZ_PROGRAM_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/Documentation_Config.ini DESTINATION ${QVZ_PROGRAM_DIR})
# The OK and Cancel pictures are compiled into the program.

# The desktop entry starts the editor standalone (no command words). It is written at install time, so
# that it names the program where it was installed (cmake --install --prefix, or the package's prefix).
install(CODE "
  string(REGEX REPLACE \"/+$\" \"\" prefix \"\${CMAKE_INSTALL_PREFIX}\")
  file(READ \"${CMAKE_SOURCE_DIR}/packaging/documentation-config.desktop.in\" entry)
  string(REPLACE \"@QVZ_DESKTOP_EXEC@\" \"\${prefix}/${QVZ_PROGRAM_DIR}/Documentation_Config\" entry \"\${entry}\")
  set(folder \"\$ENV{DESTDIR}\${prefix}/${QVZ_DESKTOP_DIR}\")
  file(MAKE_DIRECTORY \"\${folder}\")
  file(WRITE \"\${folder}/documentation-config.desktop\" \"\${entry}\")
  message(STATUS \"Installing: \${folder}/documentation-config.desktop\")
")

set(CPACK_PACKAGE_NAME "documentation-config")
set(CPACK_PACKAGE_VENDOR "HMI service tools")
set(CPACK_PACKAGE_CONTACT "service@localhost")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Customer documentation configuration program for HMI projects")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
include(CPack)
