#pragma once
// Where the running program lies and what it is called; every file is found from these terms.

#include <QString>

class ProgramLocation {
 public:
  ProgramLocation() = default;
  // The program folder keeps no trailing separator, except a root ("/" or "C:\").
  ProgramLocation(const QString& programFolder, QString executableName);
  // The location of the running executable (argv0 is the fallback where the system cannot tell).
  static ProgramLocation OfRunningProgram(const char* argv0);

  // The folder of the running executable.
  const QString& ProgramFolder() const { return programFolder_; }
  // The program folder's parent: drop characters up to the last separator, then that separator.
  QString BaseFolder() const;
  // The executable's file name without extension.
  const QString& ExecutableName() const { return executableName_; }
  // The executable's file name as it lies on disk (".exe" added on Windows).
  QString ExecutableFileName() const;
  // The component name N: the executable name without its last seven characters.
  QString GetOCXName() const;

 private:
  QString programFolder_;
  QString executableName_;
};

// The text after the last separator ("\" or "/").
QString GetFileNameOnly(const QString& path);
