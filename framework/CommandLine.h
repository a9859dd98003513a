#pragma once
// The command line and the start mode.

#include <QString>

// How the program was started. Integrated and silent are never both true.
struct StartMode {
  bool integrated = false;  // EXTERNAL=QVZCFG: started by the host configuration program
  bool silent = false;      // EXTERNAL=SILENT: no dialog, faults go to the service log
  QString logfile;          // the error log the host names with LOGFILE (empty when absent)
  // --dry-run: the update runs unattended on scratch copies; no file of the installation changes, the
  // report goes to standard output and faults to standard error.
  bool dryRun = false;
};

// The value after the word (found anywhere, without regard to case), upper-cased, cut at a slash.
QString ReadCommand(const QString& commandLine, const QString& word);
// The start mode the command line asks for, decided from EXTERNAL, with the LOGFILE path.
StartMode GetStartModeIntegrated(const QString& commandLine);
// The error log path given with LOGFILE (empty when absent).
QString GetPathLogfile(const QString& commandLine);
