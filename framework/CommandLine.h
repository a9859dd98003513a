#pragma once
// The command line and the start mode.

#include <QString>

// Set by GetStartModeIntegrated; never both true.
extern bool IntegratedMode;
extern bool SilentMode;

// The command line: the program's arguments joined by single blanks.
void SetCommandLine(const QString& commandLine);
QString CommandLineText();

// The value after the word (found anywhere, without regard to case), upper-cased, cut at a slash.
QString ReadCommand(const QString& commandLine, const QString& word);
// Sets IntegratedMode and SilentMode from EXTERNAL and returns IntegratedMode.
bool GetStartModeIntegrated();
// The error log path given with LOGFILE (empty when absent).
QString GetPathLogfile();
