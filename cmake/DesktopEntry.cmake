# Writes the desktop entry at install time, naming the program and the icon where they were installed
# (cmake --install --prefix, or the package's prefix). Included by the install code of Install.cmake with
# QVZ_DESKTOP_TEMPLATE, QVZ_PROGRAM_DIR, QVZ_DESKTOP_DIR and QVZ_ICON_FILE set.

# A string value of a desktop entry: a backslash is written doubled.
function(qvz_desktop_string value out)
  string(REPLACE "\\" "\\\\" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# An argument of Exec=: in double quotes, with a backslash before each double quote, backquote, dollar
# sign and backslash; a percent sign doubled; then written as a string value. So a program path with
# blanks or other reserved characters still starts.
function(qvz_desktop_exec_argument argument out)
  string(REPLACE "\\" "\\\\" argument "${argument}")
  string(REPLACE "\"" "\\\"" argument "${argument}")
  string(REPLACE "`" "\\`" argument "${argument}")
  string(REPLACE "$" "\\$" argument "${argument}")
  string(REPLACE "%" "%%" argument "${argument}")
  qvz_desktop_string("\"${argument}\"" argument)
  set(${out} "${argument}" PARENT_SCOPE)
endfunction()

string(REGEX REPLACE "/+$" "" qvz_prefix "${CMAKE_INSTALL_PREFIX}")
qvz_desktop_exec_argument("${qvz_prefix}/${QVZ_PROGRAM_DIR}/Documentation_Config" qvz_exec)
qvz_desktop_string("${qvz_prefix}/${QVZ_ICON_FILE}" qvz_icon)
file(READ "${QVZ_DESKTOP_TEMPLATE}" qvz_entry)
string(REPLACE "@QVZ_DESKTOP_EXEC@" "${qvz_exec}" qvz_entry "${qvz_entry}")
string(REPLACE "@QVZ_DESKTOP_ICON@" "${qvz_icon}" qvz_entry "${qvz_entry}")
set(qvz_folder "$ENV{DESTDIR}${qvz_prefix}/${QVZ_DESKTOP_DIR}")
file(MAKE_DIRECTORY "${qvz_folder}")
file(WRITE "${qvz_folder}/documentation-config.desktop" "${qvz_entry}")
message(STATUS "Installing: ${qvz_folder}/documentation-config.desktop")
