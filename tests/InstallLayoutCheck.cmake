# Installs the build into a fresh prefix and checks the layout of a working installation. The prefix
# holds a blank, as a project folder may.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" RESULT_VARIABLE result
                OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(icon share/icons/hicolor/128x128/apps/documentation-config.png)
foreach(file program/Documentation_Config program/Documentation_Config_window${MODULE_SUFFIX}
             program/Documentation_Config.ini
             share/applications/documentation-config.desktop ${icon}
             share/doc/documentation-config/copyright share/doc/documentation-config/changelog.gz)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "missing after install: ${file}")
  endif()
endforeach()

# The desktop entry names the installed icon and starts the installed program: Exec= holds the path
# quoted as the desktop entry rules want it (a string value whose argument is in double quotes).
file(STRINGS "${PREFIX}/share/applications/documentation-config.desktop" lines)
set(exec "")
set(icon_value "")
foreach(line IN LISTS lines)
  if(line MATCHES "^Exec=(.*)$")
    set(exec "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^Icon=(.*)$")
    set(icon_value "${CMAKE_MATCH_1}")
  endif()
endforeach()
if(NOT icon_value STREQUAL "${PREFIX}/${icon}")
  message(FATAL_ERROR "the desktop entry does not name the installed icon: Icon=${icon_value}")
endif()
if(NOT exec MATCHES "^\"(.*)\"$")
  message(FATAL_ERROR "Exec= of the desktop entry is not quoted: Exec=${exec}")
endif()
# Undo the string escape, then the quoting escapes (the path holds no other reserved character).
string(REPLACE "\\\\" "\\" program "${CMAKE_MATCH_1}")
string(REPLACE "\\\"" "\"" program "${program}")
if(NOT program STREQUAL "${PREFIX}/program/Documentation_Config")
  message(FATAL_ERROR "the desktop entry does not start the installed program: Exec=${exec}")
endif()
# The program itself needs no GUI library: only its window module does.
find_program(READELF readelf)
if(READELF)
  execute_process(COMMAND "${READELF}" -d "${PREFIX}/program/Documentation_Config" OUTPUT_VARIABLE needed)
  if(needed MATCHES "Qt6(Gui|Widgets)")
    message(FATAL_ERROR "the program links a GUI library itself:\n${needed}")
  endif()
endif()
# The installed program finds its project from where it lies: without a CFG file it says so and ends.
execute_process(COMMAND "${program}" EXTERNAL=SILENT RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(NOT status EQUAL 1)
  message(FATAL_ERROR "installed program without a project ended with ${status}, expected 1")
endif()
