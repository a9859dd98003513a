#include "presets/WorkOnMdb.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/IniAccess.h"
#include "framework/Installation.h"
#include "framework/ProgramLocation.h"
#include "framework/Text.h"
#include "framework/UserPort.h"
#include "presets/AdditionalFields.h"
#include "presets/Database.h"
#include "presets/FileOps.h"
#include "presets/ProjectRenames.h"
#include "presets/RecordSets.h"
#include "presets/Takeover.h"
#include "presets/UpdateRun.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <optional>

namespace {

const QString kVarNameMarker = QStringLiteral("###Var_Name");

// A failure while reading the templates leaves part 1 of both systems resolving to the plain variable
// name, but never overwrites a template that was read.
void MarkTemplateReadFailure(VarNameTemplateTable& templates) {
  for (auto& system : templates) {
    if (system[0].isEmpty()) system[0] = kVarNameMarker;
  }
}

}  // namespace

// A record that cannot be used is skipped; a table that cannot be read ends the reading.
VarNameTemplateTable ReadVarNameTemplates(const QString& sourcePath) {
  VarNameTemplateTable templates;
  static const QString kSystems[kVisiWinSystems] = {QStringLiteral("VISIWIN32"),
                                                    QStringLiteral("VISIWINSTUDIO")};
  try {
    db::Connection source = db::Connection::Open(sourcePath);
    db::Statement records = source.Prepare(QStringLiteral("SELECT System, Part, Var_Name FROM Source_DEFS"));
    for (;;) {
      bool hasRecord = false;
      try {
        hasRecord = records.Step();
      } catch (const AppError&) {
        MarkTemplateReadFailure(templates);
      }
      if (!hasRecord) break;
      for (int j = 0; j < kVisiWinSystems; ++j) {
        try {
          if (records.ColumnIsNull(0) || UCase(records.ColumnText(0)) != kSystems[j]) continue;
          const int64_t part = PartNumber(records.Column(1));
          if (records.ColumnIsNull(2)) Raise(kErrTypeMismatch, QStringLiteral("Invalid use of Null"));
          templates[j][part - 1] = db::ToQString(records.Column(2));
        } catch (const AppError&) {
          MarkTemplateReadFailure(templates);
        }
      }
    }
  } catch (const AppError&) {
    MarkTemplateReadFailure(templates);
  } catch (const std::exception&) {
    MarkTemplateReadFailure(templates);
  }
  return templates;
}

int16_t VisiWinSystemIndex(const ProjectContext& context) {
  return !context.mode.integrated && context.project.vwStudio ? 1 : 0;
}

namespace {

// The notice of integrated mode when the host holds no machine copy of the database.
QString MissingMachineCopyNotice(const QString& projectPath) {
  return QStringLiteral("Konnte die Datei:") + QLatin1Char('"') + GetFileNameOnly(projectPath) +
         QLatin1Char('"') + QStringLiteral(" in der Vorlage nicht finden!") + kCrLf + kCrLf +
         QStringLiteral("Ist das Bild in der Vorlage noch nicht vorhanden (also neu)?") + kCrLf +
         QStringLiteral(
             "Dann ist diese Meldung völlig normal und es wird eine neue Datei mit den Standardwerten "
             "erzeugt.");
}

// Deletes PRESET_DEFS (found without regard to case) and creates it afresh with the fields of
// Source_PRESET_DEFS: names and declared types only, no key, default or index. True when the new table
// was created.
bool RebuildPresetTable(Trap& trap, db::Connection& source) {
  trap.Run([&] {
    if (const std::optional<QString> old = source.FindTable(QStringLiteral("PRESET_DEFS"))) {
      source.Exec(QStringLiteral("DROP TABLE %1").arg(db::Quote(*old)));
    }
  });
  return trap.Run([&] {
    QStringList columns;
    for (const db::FieldDef& field : source.Fields(QStringLiteral("Source_PRESET_DEFS"))) {
      columns << (field.declaredType.isEmpty()
                      ? db::Quote(field.name)
                      : db::Quote(field.name) + QLatin1Char(' ') + field.declaredType);
    }
    source.Exec(QStringLiteral("CREATE TABLE PRESET_DEFS (%1)").arg(columns.join(QStringLiteral(", "))));
  });
}

// Takes the values of the project database's PRESET_DEFS over, when there is such a database and table.
void TakeOverProjectValues(UpdateRun& run, Trap& trap, db::Connection& source, const QString& projectPath) {
  if (projectPath.isEmpty()) return;
  QString existing;
  trap.Run([&] { existing = FindExistingFile(projectPath); });
  if (existing.isEmpty()) return;
  std::optional<db::Connection> project;
  trap.Run([&] { project.emplace(db::Connection::Open(existing)); });
  if (!project) return;
  std::optional<QString> oldTable;
  trap.Run([&] { oldTable = project->FindTable(QStringLiteral("PRESET_DEFS")); });
  if (!oldTable) return;
  GetAddFields(run);
  TakeoverMachineCopyMDBData(run, source, *project, *oldTable);
}

// Makes the working copy of the database whose values are taken over (when there is one) beside the
// project database, for the renames and the takeover, and removes it when the update ends, however it
// ends.
class WorkingCopy {
 public:
  WorkingCopy(UpdateRun& run, Trap& trap, const QString& takeoverPath, const QString& projectPath)
      : run_(run) {
    trap.Run([&] {
      const QString existing = takeoverPath.isEmpty() ? QString() : FindExistingFile(takeoverPath);
      if (existing.isEmpty() || projectPath.isEmpty()) return;
      const QFileInfo info(ExistingOrAsSpelled(projectPath));
      const QString copy =
          info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".update");
      CopyFileAtomically(existing, copy);
      made_ = copy;
      // A journal left by a writer that crashed goes along, so the copy is read as it was before the
      // crash (the first connection rolls it back), just as the project database itself would be.
      const QString journal = existing + QStringLiteral("-journal");
      if (QFileInfo::exists(journal)) CopyFileAtomically(journal, copy + QStringLiteral("-journal"));
      run_.projectCopy = copy;
    });
  }
  ~WorkingCopy() {
    run_.projectCopy.clear();
    if (made_.isEmpty()) return;
    QFile::remove(made_);
    QFile::remove(made_ + QStringLiteral("-journal"));
  }
  WorkingCopy(const WorkingCopy&) = delete;
  WorkingCopy& operator=(const WorkingCopy&) = delete;
  // The database the takeover reads: the working copy, or the project database when no copy was made.
  QString Path(const QString& projectPath) const {
    return run_.projectCopy.isEmpty() ? projectPath : run_.projectCopy;
  }

 private:
  UpdateRun& run_;
  QString made_;  // the copy on disk, also when it could not be completed
};

}  // namespace

void WorkOnMDB(ProjectContext& context) {
  UpdateRun run(context);
  Trap trap(context.errors, QStringLiteral("WorkOnMDB"));

  QString sourcePath, projectPath, hostIniPath, machineCopyPath;
  trap.Run([&] { sourcePath = GetPathSourceOCXMDB(context); });
  trap.Run([&] { projectPath = GetPathOCXMDB(context); });
  trap.Run([&] { hostIniPath = GetQVZConfigurationIniPath(context); });
  trap.Run([&] { machineCopyPath = GetPathMachineCopyMDB(context, hostIniPath); });

  run.visiWinSystemIndex = VisiWinSystemIndex(context);

  if (sourcePath.isEmpty()) return;
  // The file as it lies on disk (its name may differ in case from the one asked for).
  trap.Run([&] {
    const QString existing = FindExistingFile(sourcePath);
    if (!existing.isEmpty()) sourcePath = existing;
  });

  // The source database's times, read before the update (none when the file was not writable).
  std::optional<FileTimes> sourceTimes;
  trap.Run([&] {
    if (CanOpenForWriting(sourcePath)) sourceTimes = ReadFileTimes(sourcePath);
  });

  // The database whose values are taken over: the project database, in integrated mode the machine copy.
  QString takeoverPath = projectPath;
  if (context.mode.integrated) {
    if (trap.If([&] { return machineCopyPath.isEmpty() || !FileExists(machineCopyPath); })) {
      context.port.ShowMessage(MissingMachineCopyNotice(projectPath), QString(), Icon::Information);
    } else {
      trap.Run([&] { takeoverPath = FindExistingFile(machineCopyPath); });
    }
  }

  run.varNameTemplates = ReadVarNameTemplates(sourcePath);

  bool rebuilt = false;
  // The renames and the takeover change a copy of that database, never the project database itself (nor
  // the machine copy): until the source replaces it whole, the project database stays as it was.
  const WorkingCopy workingCopy(run, trap, takeoverPath, projectPath);
  {
    std::optional<db::Connection> source;
    trap.Run([&] { source.emplace(db::Connection::Open(sourcePath)); });
    // The rebuild, the generation and the takeover write the source database in one transaction; each
    // step still sees what the steps before it wrote, and an ended program keeps what was written.
    std::optional<db::Transaction> transaction;
    if (source) trap.Run([&] { transaction.emplace(*source); });
    if (source) rebuilt = RebuildPresetTable(trap, *source);
    CategorieNachCategoryID(run);
    if (source) {
      CreateRecordSets(run, *source);
      TakeOverProjectValues(run, trap, *source, workingCopy.Path(projectPath));
    }
    // Not committed (another program holds the file), the work is rolled back: the source keeps its
    // old preset table.
    if (transaction && !trap.Run([&] { transaction->Commit(); })) rebuilt = false;
  }  // the source database is closed before it is copied

  // A source that is no database, whose preset table could not be built or whose update was not saved
  // must not replace the project database: the project would lose its presets and the values set on the
  // machine. The failure has been reported already.
  if (rebuilt) trap.Run([&] { CopyFileAtomically(sourcePath, ExistingOrAsSpelled(projectPath)); });

  if (sourceTimes) {
    trap.Run([&] {
      if (CanOpenForWriting(sourcePath)) RestoreFileTimes(sourcePath, *sourceTimes);
    });
  }
}
