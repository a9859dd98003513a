#pragma once
// What differs between the operating systems the program runs on. Each system has its own source file
// (Platform_posix.cpp, Platform_win.cpp), chosen by the build; nothing else asks which system it is.

#include <QDateTime>
#include <QString>

#include <filesystem>
#include <optional>

namespace platform {

// Whether paths follow the Windows rules: backslashes, no case of their own, "C:" drives.
bool WindowsPaths();
// The separator of the system's paths ("\" or "/").
QString PathSeparator();
// A path from a Windows-style configuration in the system's spelling (backslashes become slashes
// outside Windows).
QString NativeSeparators(const QString& path);
// The file name of the program's executable from its name (".exe" added on Windows).
QString ExecutableFileName(const QString& name);
// The running executable's path as the system knows it; empty when it cannot tell.
QString RunningExecutablePath();
// The first entry of the process environment ("NAME=value"); empty when there is none.
QString FirstEnvironmentEntry();
// Where the service log is written unless HALVEK_SERVICE_LOG names another file.
QString DefaultServiceLogPath();
// A path for std::filesystem in the encoding of the system's file names.
std::filesystem::path FileSystemPath(const QString& path);
// Sets a file's creation time where the system keeps one that can be set; elsewhere nothing happens.
void SetCreationTime(const QString& path, const QDateTime& time);
// Why the window system cannot be reached (no display set, the local X server not listening); nullopt
// when it can be, or when the system has no such display to check.
std::optional<QString> MissingDisplay();

}  // namespace platform
