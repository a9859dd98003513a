#pragma once
// Every file location of an installation, and the project's machine list.

#include <QString>
#include <QStringList>

// The program INI found at start-up, and the project's machines (machine m is ExistingMachines[m - 1]).
extern QString ProgramIniPath;
extern QStringList ExistingMachines;
// Machine m (counted from 1).
QString ExistingMachine(int m);

QString GetQVZConfigurationIniPath();
QString GetProgramIniPath(int mode);
// Ends the program with "File not found: " when the CFG file is missing.
QString GetCFGPath();
QString GetPathOCXMDB();
QString GetPathSourceOCXMDB();
QString GetPathMachineCopyMDB(const QString& hostIniPath);
void GetExistingMachines(const QString& hostIniPath);
QString GetValidMachines();
