#pragma once
// The command line and the start mode.

#include <QString>

// How the program was started. Integrated and silent are never both true.
struct StartMode {
  bool integrated = false;  // EXTERNAL=QVZCFG: started by the host configuration program
  bool silent = false;      // EXTERNAL=SILENT: no dialog, faults go to the service log
  QString logfile;          // the error log the host names with LOGFILE (empty when absent)
};

// The value after the word (found anywhere, without regard to case), upper-cased, cut at a slash.
QString ReadCommand(const QString& commandLine, const QString& word);
// The start mode the command line asks for, decided from EXTERNAL, with the LOGFILE path.
StartMode GetStartModeIntegrated(const QString& commandLine);
// The error log path given with LOGFILE (empty when absent).
QString GetPathLogfile(const QString& commandLine);
