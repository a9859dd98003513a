#include "framework/Installation.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/IniAccess.h"
#include "framework/IniDocument.h"
#include "framework/Text.h"
#include "framework/TextFile.h"

namespace {

const QString kProject = QStringLiteral("Project");

// Folder S of the host's working copy of the project, from [Common] SaveAndRestore.
QString SaveAndRestoreFolder(ErrorHandling& errors, const QString& hostIni) {
  return NativePath(
      LoadIniString(errors, QStringLiteral("Common"), QStringLiteral("SaveAndRestore"), hostIni));
}

// S followed by the relative path, with exactly one separator between them.
QString BelowFolder(const QString& folder, const QString& relative) {
  return EndsInSeparator(folder) ? folder + relative : folder + Sep() + relative;
}

QString ComponentFile(const ProgramLocation& location, const QString& suffix) {
  const QString n = location.GetOCXName();
  return location.BaseFolder() + Sep() + n + Sep() + n + suffix;
}

// Why the program INI gives no machine, for the error that needs machine 1: said so that whoever
// reads the log knows what to mend in the file.
QString WhyNoMachines(const QString& programIni) {
  if (programIni.isEmpty()) return QStringLiteral("Program.ini was not found");
  QString failure;
  const auto content = ReadTextFile(programIni, &failure);
  if (!content) return failure.isEmpty() ? QStringLiteral("Program.ini was not found") : failure;
  if (content->text.trimmed().isEmpty()) return QStringLiteral("Program.ini is empty (") + programIni + u')';
  const auto count = IniDocument::Parse(content->text).Value(kProject, QStringLiteral("NumberOfMachines"));
  if (!count) {
    return QStringLiteral("Program.ini has no NumberOfMachines in [Project] (") + programIni + u')';
  }
  return QStringLiteral("NumberOfMachines is ") + *count + QStringLiteral(" (") + programIni + u')';
}

QString ParameterFolder(const ProgramLocation& location) {
  return location.BaseFolder() + Sep() + QStringLiteral("parameter");
}

}  // namespace

QString GetQVZConfigurationIniPath(ProjectContext& context) {
  Trap trap(context.errors, QStringLiteral("GetQVZConfigurationIniPath"));
  QString path;
  trap.Run([&] {
    path =
        FindExistingFile(ParameterFolder(context.location) + Sep() + QStringLiteral("qvzconfiguration.ini"),
                         context.location.BaseFolder());
  });
  return path;
}

QString GetProgramIniPath(ProjectContext& context, int mode) {
  Trap trap(context.errors, QStringLiteral("GetProgramIniPath"));
  QString path;
  trap.Run([&] {
    if (mode == 1 && context.mode.integrated) {
      const QString s = SaveAndRestoreFolder(context.errors, GetQVZConfigurationIniPath(context));
      path = BelowFolder(s, QStringLiteral("parameter") + Sep() + QStringLiteral("program.ini"));
    } else {
      path = ParameterFolder(context.location) + Sep() + QStringLiteral("Program.ini");
    }
  });
  QString existing;
  trap.Run([&] { existing = FindExistingFile(path, context.location.BaseFolder()); });
  return existing;
}

QString GetCFGPath(ProjectContext& context) {
  Trap trap(context.errors, QStringLiteral("GetCFGPath"));
  const QString path = ComponentFile(context.location, QStringLiteral(".cfg"));
  QString existing;
  trap.Run([&] { existing = FindExistingFile(path, context.location.BaseFolder()); });
  if (!existing.isEmpty()) return existing;
  trap.Run(
      [&] { context.errors.ReportFault(QStringLiteral("File not found: ") + kLineBreak + UCase(path)); });
  EndProgram(kExitError);
}

QString GetPathOCXMDB(ProjectContext& context) {
  Trap trap(context.errors, QStringLiteral("GetPathOCXMDB"));
  QString path;
  trap.Run([&] {
    path = ExistingOrAsSpelled(ComponentFile(context.location, QStringLiteral(".mdb")),
                               context.location.BaseFolder());
  });
  return path;
}

QString GetPathSourceOCXMDB(ProjectContext& context) {
  Trap trap(context.errors, QStringLiteral("GetPathSourceOCXMDB"));
  QString path;
  trap.Run([&] {
    path = FindExistingFile(ComponentFile(context.location, QStringLiteral("_Source.mdb")),
                            context.location.BaseFolder());
  });
  return path;
}

QString GetPathMachineCopyMDB(ProjectContext& context, const QString& hostIniPath) {
  Trap trap(context.errors, QStringLiteral("GetPathMachineCopyMDB"));
  QString path;
  trap.Run([&] {
    const QString n = context.location.GetOCXName();
    path = BelowFolder(SaveAndRestoreFolder(context.errors, hostIniPath),
                       n + Sep() + n + QStringLiteral(".mdb"));
  });
  QString existing;
  trap.Run([&] { existing = FindExistingFile(path); });
  return existing;
}

UpdateDatabasePaths GetUpdateDatabasePaths(ProjectContext& context) {
  UpdateDatabasePaths paths;
  paths.source = GetPathSourceOCXMDB(context);
  paths.project = GetPathOCXMDB(context);
  paths.machineCopy = GetPathMachineCopyMDB(context, context.files.hostIni);
  return paths;
}

void GetExistingMachines(ProjectContext& context, const QString& hostIniPath) {
  Trap trap(context.errors, QStringLiteral("GetExistingMachines"));
  QStringList& machines = context.project.machines;
  trap.Run([&] { context.files.programIni = GetProgramIniPath(context, 1); });
  if (context.mode.integrated) {
    if (!trap.If([&] { return FileExists(hostIniPath); })) {
      context.project.machineListProblem = QStringLiteral("qvzconfiguration.ini was not found");
      return;
    }
    for (int i = 1; i <= kMachineSlots; ++i) {
      QString name;
      trap.Run([&] {
        name = LoadIniString(context.errors, QStringLiteral("Common"),
                             QStringLiteral("NameM") + QString::number(i), hostIniPath);
      });
      if (name == QStringLiteral("-") || name.isEmpty()) break;
      machines.resize(i);
      machines[i - 1] = name;
    }
    if (machines.isEmpty()) {
      context.project.machineListProblem =
          QStringLiteral("qvzconfiguration.ini names no machine in [Common] NameM1 (") + hostIniPath + u')';
    }
    return;
  }
  int16_t count = -1;
  trap.Run([&] {
    count = LoadIniInteger(context.errors, kProject, QStringLiteral("NumberOfMachines"),
                           context.files.programIni);
  });
  for (int i = 1; i <= count; ++i) {
    trap.Run([&] {
      const QString name = LoadIniString(context.errors, QStringLiteral("Machine") + QString::number(i),
                                         QStringLiteral("MachineName"), context.files.programIni);
      machines.resize(i);
      machines[i - 1] = name;
    });
  }
  if (machines.isEmpty())
    trap.Run([&] { context.project.machineListProblem = WhyNoMachines(context.files.programIni); });
}

QString GetValidMachines(ProjectContext& context) {
  Trap trap(context.errors, QStringLiteral("GetValidMachines"));
  QString machines;
  trap.Run([&] {
    machines = LoadIniString(context.errors, kProject, QStringLiteral("ValidMachines"), GetCFGPath(context));
  });
  return machines;
}

void ReadProjectConfiguration(ProjectContext& context) {
  Trap trap(context.errors, QStringLiteral("SetupUserInterFace"));
  ProjectConfiguration& project = context.project;
  project.validMachines = GetValidMachines(context);
  trap.Run([&] { context.files.cfg = GetCFGPath(context); });
  const QString& cfg = context.files.cfg;
  for (int m = 1; m <= kMachineSlots; ++m) {
    trap.Run([&] {
      project.forMachine[m - 1] =
          LoadIniBoolean(context.errors, kProject, QStringLiteral("ForMachine") + QString::number(m), cfg);
    });
  }
  trap.Run([&] {
    project.additionalFields =
        LoadIniString(context.errors, kProject, QStringLiteral("DataBaseAdditionalFields"), cfg);
  });
  const QString& programIni = context.files.programIni;
  trap.Run([&] {
    project.useVWFD = LoadIniBoolean(context.errors, kProject, QStringLiteral("VWFD"), programIni);
  });
  // The VisiWin system is chosen in standalone mode only; integrated projects use VisiWin32 names.
  if (!context.mode.integrated) {
    trap.Run([&] {
      project.vwStudio = LoadIniBoolean(context.errors, kProject, QStringLiteral("VWStudio"), programIni);
    });
  }
}
