#include "framework/Installation.h"

#include "framework/CommandLine.h"
#include "framework/ErrorHandling.h"
#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/IniAccess.h"
#include "framework/ProgramLocation.h"
#include "framework/Text.h"

QString ProgramIniPath;
QStringList ExistingMachines;

namespace {

// Folder S of the host's working copy of the project, from [Common] SaveAndRestore.
QString SaveAndRestoreFolder(const QString& hostIni) {
  return NativePath(LoadIniString(QStringLiteral("Common"), QStringLiteral("SaveAndRestore"), hostIni));
}

// S followed by the relative path, with exactly one separator between them.
QString BelowFolder(const QString& folder, const QString& relative) {
  return EndsInSeparator(folder) ? folder + relative : folder + Sep() + relative;
}

QString ComponentFile(const QString& suffix) {
  const QString n = GetOCXName();
  return BaseFolder() + Sep() + n + Sep() + n + suffix;
}

}  // namespace

QString ExistingMachine(int m) {
  return m >= 1 && m <= ExistingMachines.size() ? ExistingMachines.at(m - 1) : QString();
}

QString GetQVZConfigurationIniPath() {
  Trap trap(QStringLiteral("GetQVZConfigurationIniPath"));
  QString path;
  trap.Run([&] {
    path = FindExistingFile(BaseFolder() + Sep() + QStringLiteral("parameter") + Sep() +
                            QStringLiteral("qvzconfiguration.ini"));
  });
  return path;
}

QString GetProgramIniPath(int mode) {
  Trap trap(QStringLiteral("GetProgramIniPath"));
  QString path;
  trap.Run([&] {
    if (mode == 1 && IntegratedMode) {
      const QString s = SaveAndRestoreFolder(GetQVZConfigurationIniPath());
      path = BelowFolder(s, QStringLiteral("parameter") + Sep() + QStringLiteral("program.ini"));
    } else {
      path = BaseFolder() + Sep() + QStringLiteral("parameter") + Sep() + QStringLiteral("Program.ini");
    }
  });
  QString existing;
  trap.Run([&] { existing = FindExistingFile(path); });
  return existing;
}

QString GetCFGPath() {
  Trap trap(QStringLiteral("GetCFGPath"));
  QString path;
  trap.Run([&] { path = ComponentFile(QStringLiteral(".cfg")); });
  QString existing;
  trap.Run([&] { existing = FindExistingFile(path); });
  if (!existing.isEmpty()) return existing;
  trap.Run([&] { ReportFault(QStringLiteral("File not found: ") + kLineBreak + UCase(path)); });
  EndProgram(kExitError);
}

QString GetPathOCXMDB() {
  Trap trap(QStringLiteral("GetPathOCXMDB"));
  QString path;
  trap.Run([&] { path = ExistingOrAsSpelled(ComponentFile(QStringLiteral(".mdb"))); });
  return path;
}

QString GetPathSourceOCXMDB() {
  Trap trap(QStringLiteral("GetPathSourceOCXMDB"));
  QString path;
  trap.Run([&] { path = FindExistingFile(ComponentFile(QStringLiteral("_Source.mdb"))); });
  return path;
}

QString GetPathMachineCopyMDB(const QString& hostIniPath) {
  Trap trap(QStringLiteral("GetPathMachineCopyMDB"));
  QString path;
  trap.Run([&] {
    const QString n = GetOCXName();
    path = BelowFolder(SaveAndRestoreFolder(hostIniPath), n + Sep() + n + QStringLiteral(".mdb"));
  });
  QString existing;
  trap.Run([&] { existing = FindExistingFile(path); });
  return existing;
}

void GetExistingMachines(const QString& hostIniPath) {
  Trap trap(QStringLiteral("GetExistingMachines"));
  trap.Run([&] { ProgramIniPath = GetProgramIniPath(1); });
  if (IntegratedMode) {
    if (!trap.If([&] { return FileExists(hostIniPath); })) return;
    for (int i = 1; i <= 5; ++i) {
      QString name;
      trap.Run([&] {
        name = LoadIniString(QStringLiteral("Common"), QStringLiteral("NameM") + QString::number(i),
                             hostIniPath);
      });
      if (name == QStringLiteral("-") || name.isEmpty()) break;
      trap.Run([&] {
        ExistingMachines.resize(i);
        ExistingMachines[i - 1] = name;
      });
    }
    return;
  }
  int16_t count = -1;
  trap.Run([&] {
    count = LoadIniInteger(QStringLiteral("Project"), QStringLiteral("NumberOfMachines"), ProgramIniPath);
  });
  for (int i = 1; i <= count; ++i) {
    trap.Run([&] {
      const QString name = LoadIniString(QStringLiteral("Machine") + QString::number(i),
                                         QStringLiteral("MachineName"), ProgramIniPath);
      ExistingMachines.resize(i);
      ExistingMachines[i - 1] = name;
    });
  }
}

QString GetValidMachines() {
  Trap trap(QStringLiteral("GetValidMachines"));
  QString machines;
  trap.Run([&] {
    machines = LoadIniString(QStringLiteral("Project"), QStringLiteral("ValidMachines"), GetCFGPath());
  });
  return machines;
}
