#pragma once
// Where the running program lies and what it is called; every file is found from these terms.

#include <QString>

// Sets the program folder and executable name (main does this from the running process; tests choose).
void SetProgramLocation(const QString& programFolder, const QString& executableName);

// The folder of the running executable, without a trailing separator (a root keeps its separator).
QString ProgramFolder();
// The program folder's parent: drop characters up to the last separator, then that separator.
QString BaseFolder();
// The executable's file name without extension.
QString ExecutableName();
// The executable's file name as it lies on disk (".exe" added on Windows).
QString ExecutableFileName();

// The component name N: the executable name without its last seven characters.
QString GetOCXName();
// The text after the last separator ("\" or "/").
QString GetFileNameOnly(const QString& path);
