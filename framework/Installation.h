#pragma once
// Every file location of an installation, the project's machine list and its configuration.

#include "framework/ProjectContext.h"

#include <QString>

// parameter/qvzconfiguration.ini of the base folder, empty when missing.
QString GetQVZConfigurationIniPath(ProjectContext& context);
// Mode 1 in integrated mode: the host's copy below SaveAndRestore; otherwise the base folder's
// parameter/Program.ini. Empty when missing.
QString GetProgramIniPath(ProjectContext& context, int mode);
// Ends the program with "File not found: " when the CFG file is missing.
QString GetCFGPath(ProjectContext& context);
QString GetPathOCXMDB(ProjectContext& context);
QString GetPathSourceOCXMDB(ProjectContext& context);
QString GetPathMachineCopyMDB(ProjectContext& context, const QString& hostIniPath);

// The databases the update on close works with.
struct UpdateDatabasePaths {
  QString source;       // the component's _Source.mdb, empty when missing
  QString project;      // the project database, as found or else as spelled
  QString machineCopy;  // the host's copy below SaveAndRestore, empty when missing
};
// Looks them up in that order, each with its own trap; the machine copy below the host INI that start-up
// found (context.files.hostIni).
UpdateDatabasePaths GetUpdateDatabasePaths(ProjectContext& context);
// Fills context.files.programIni and the machine list (host INI names in integrated mode, else the
// program INI's machines).
void GetExistingMachines(ProjectContext& context, const QString& hostIniPath);
QString GetValidMachines(ProjectContext& context);
// Reads the CFG file's and the program INI's project entries into context.project (the CFG file must
// exist: its absence ends the program).
void ReadProjectConfiguration(ProjectContext& context);
