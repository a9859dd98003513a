# Installs the build into a fresh prefix and checks the layout of a working installation.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" RESULT_VARIABLE result
                OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file program/Documentation_Config program/Documentation_Config.ini
             share/applications/documentation-config.desktop)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "missing after install: ${file}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/documentation-config.desktop" entry)
if(NOT entry MATCHES "\nExec=${PREFIX}/program/Documentation_Config\n")
  message(FATAL_ERROR "the desktop entry does not start the installed program:\n${entry}")
endif()
# The installed program finds its project from where it lies: without a CFG file it says so and ends.
execute_process(COMMAND "${PREFIX}/program/Documentation_Config" EXTERNAL=SILENT RESULT_VARIABLE status
                OUTPUT_QUIET ERROR_QUIET)
if(NOT status EQUAL 1)
  message(FATAL_ERROR "installed program without a project ended with ${status}, expected 1")
endif()
