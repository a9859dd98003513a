# Installation: the install prefix is the base folder of an HMI project (or of a template installation);
# the program folder lies below it. The program finds every other file from its own location.
set(QVZ_PROGRAM_DIR "program" CACHE STRING "Program folder below the install prefix (the base folder)")
set(QVZ_DESKTOP_DIR "share/applications" CACHE STRING "Folder of the desktop entry below the install prefix")

install(TARGETS Documentation_Config RUNTIME DESTINATION ${QVZ_PROGRAM_DIR})
# The window module lies beside the program, which loads it when it has something to show.
install(TARGETS Documentation_Config_window LIBRARY DESTINATION ${QVZ_PROGRAM_DIR} RUNTIME DESTINATION ${QVZ_PROGRAM_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/Documentation_Config.ini DESTINATION ${QVZ_PROGRAM_DIR})
# The OK and Cancel pictures are compiled into the program.

# The program's icon (the window carries it compiled in) for the desktop entry.
set(QVZ_ICON_DIR "share/icons/hicolor/128x128/apps" CACHE STRING "Folder of the icon below the install prefix")
install(FILES ${CMAKE_SOURCE_DIR}/editor/images/documentation-config.png DESTINATION ${QVZ_ICON_DIR})

# The desktop entry starts the editor standalone (no command words). It is written at install time, so
# that it names the program and its icon where they were installed.
install(CODE "
  set(QVZ_DESKTOP_TEMPLATE \"${CMAKE_SOURCE_DIR}/packaging/documentation-config.desktop.in\")
  set(QVZ_PROGRAM_DIR \"${QVZ_PROGRAM_DIR}\")
  set(QVZ_DESKTOP_DIR \"${QVZ_DESKTOP_DIR}\")
  set(QVZ_ICON_FILE \"${QVZ_ICON_DIR}/documentation-config.png\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/DesktopEntry.cmake\")
")

# The package's copyright file, changelog and lintian overrides (the program folder lies under /opt).
set(QVZ_DOC_DIR "share/doc/documentation-config" CACHE STRING "Folder of the copyright and changelog below the install prefix")
set(QVZ_LINTIAN_DIR "" CACHE STRING "Folder of the lintian overrides below the install prefix (none when empty)")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${QVZ_DOC_DIR})
install(CODE "
  set(qvz_doc \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QVZ_DOC_DIR}\")
  file(MAKE_DIRECTORY \"\${qvz_doc}\")
  execute_process(COMMAND gzip -9nc \"${CMAKE_SOURCE_DIR}/packaging/debian/changelog\"
                  OUTPUT_FILE \"\${qvz_doc}/changelog.gz\" COMMAND_ERROR_IS_FATAL ANY)
")
if(QVZ_LINTIAN_DIR)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/lintian-overrides DESTINATION ${QVZ_LINTIAN_DIR}
          RENAME documentation-config)
endif()

set(CPACK_PACKAGE_NAME "documentation-config")
set(CPACK_PACKAGE_VENDOR "Documentation_Config maintainers")
set(CPACK_PACKAGE_CONTACT "Documentation_Config maintainers <maintainers@documentation-config.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Customer documentation configuration program for HMI projects")
# The extended description, below the summary: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "Assigns a document and a picture symbol to each key of an operator panel's
machines, declares the network shares the documents lie on, and brings the
project's preset-definition database up to date.")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
include(CPack)
