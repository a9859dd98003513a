#include "presets/WorkOnMdb.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/Installation.h"
#include "framework/RunLock.h"
#include "framework/Text.h"
#include "presets/AdditionalFields.h"
#include "presets/Database.h"
#include "presets/FileOps.h"
#include "presets/ProjectDatabaseHold.h"
#include "presets/ProjectRenames.h"
#include "presets/ProjectReplacement.h"
#include "presets/RecordSets.h"
#include "presets/Takeover.h"
#include "presets/VarNameTemplates.h"
#include "presets/WorkingCopy.h"

#include <QFileInfo>
#include <QStringList>

#include <optional>

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

// The CREATE TABLE text of PRESET_DEFS: the fields of Source_PRESET_DEFS with their names and declared
// types only, no key, default or index. A declared type that is no plain type name would be pasted into
// the statement as SQL of its own: such a template is refused.
QString PresetTableDefinition(const std::vector<db::FieldDef>& templateFields) {
  QStringList columns;
  for (const db::FieldDef& field : templateFields) {
    if (field.declaredType.isEmpty()) {
      columns << db::Quote(field.name);
      continue;
    }
    if (!db::IsPlainTypeName(field.declaredType)) {
      Raise(kErrTypeMismatch,
            QStringLiteral("Source_PRESET_DEFS: the field %1 has a type that is no type name: %2")
                .arg(field.name, field.declaredType));
    }
    columns << db::Quote(field.name) + QLatin1Char(' ') + field.declaredType;
  }
  return QStringLiteral("CREATE TABLE PRESET_DEFS (%1)").arg(columns.join(QStringLiteral(", ")));
}

// Deletes PRESET_DEFS (found without regard to case) and creates it afresh with the fields of
// Source_PRESET_DEFS. True when the new table was created.
bool RebuildPresetTable(Trap& trap, db::Connection& source) {
  QString definition;
  if (!trap.Run(
          [&] { definition = PresetTableDefinition(source.Fields(QStringLiteral("Source_PRESET_DEFS"))); })) {
    return false;
  }
  trap.Run([&] {
    if (const std::optional<QString> old = source.FindTable(QStringLiteral("PRESET_DEFS"))) {
      source.Exec(QStringLiteral("DROP TABLE %1").arg(db::Quote(*old)));
    }
  });
  return trap.Run([&] { source.Exec(definition); });
}

// Takes the values of the project database's PRESET_DEFS over, when there is such a database and table.
TakeoverResult TakeOverProjectValues(UpdateRun& run, Trap& trap, db::Connection& source,
                                     const QString& projectPath) {
  if (projectPath.isEmpty()) return {};
  QString existing;
  trap.Run([&] { existing = FindExistingFile(projectPath); });
  if (existing.isEmpty()) return {};
  std::optional<db::Connection> project;
  trap.Run([&] { project.emplace(db::Connection::Open(existing)); });
  if (!project) return {};
  std::optional<QString> oldTable;
  trap.Run([&] { oldTable = project->FindTable(QStringLiteral("PRESET_DEFS")); });
  if (!oldTable) return {};
  GetAddFields(run);
  return TakeoverMachineCopyMDBData(run, source, *project, *oldTable);
}

// Rebuilds the preset table, generates its records, renames the working copy's records and takes their
// values over, in one transaction of the source database: each phase sees what the phases before it
// wrote. True when the new preset table is complete and saved; the source database is closed again on
// return.
bool UpdateSourceDatabase(UpdateRun& run, Trap& trap, const QString& sourcePath,
                          const WorkingCopy& workingCopy, const QString& projectPath) {
  std::optional<db::Connection> source;
  trap.Run([&] { source.emplace(db::Connection::Open(sourcePath)); });
  // When the takeover ends the program, the source keeps its rebuilt table, as the record-by-record
  // saving of the original leaves it; the project database is not replaced then.
  std::optional<db::Transaction> transaction;
  if (source) trap.Run([&] { transaction.emplace(*source, db::Transaction::OnProgramEnd::Keep); });
  const bool rebuilt = source && RebuildPresetTable(trap, *source);
  CategorieNachCategoryID(run, workingCopy.Copy());
  if (!source) return false;
  GenerationResult generation = CreateRecordSets(run, *source, workingCopy.Copy());
  if (generation.renames) VarNamesInQuelleErsetzen(run, *generation.renames);
  TakeOverProjectValues(run, trap, *source, workingCopy.Path(projectPath));
  // Not committed (another program holds the file), the work is rolled back: the source keeps its old
  // preset table.
  const bool committed = transaction && trap.Run([&] { transaction->Commit(); });
  return rebuilt && generation.complete && committed;
}

// One update at a time per project: a second run waits for the first and then refuses. A lock that
// cannot be taken at all (no lock file can be made, something else is in its place) refuses as well:
// without it two runs could rebuild the same tables at once.
void LockProject(std::optional<RunLock>& lock, const UpdateRun& run, const QString& projectPath) {
  lock.emplace(QFileInfo(projectPath).absolutePath(), run.lockWait);
  if (lock->result() == RunLock::Result::TimedOut) {
    Raise(kErrFileAccess,
          QStringLiteral("Another run is updating the project database; it was not updated: ") + projectPath);
  }
  if (!lock->held()) {
    Raise(kErrFileAccess,
          QStringLiteral("The run lock cannot be taken; the project database was not updated: ") +
              lock->reason());
  }
}

}  // namespace

void WorkOnMDB(ProjectContext& context) {
  UpdateRun run(context);
  WorkOnMDB(run);
}

void WorkOnMDB(UpdateRun& run) {
  ProjectContext& context = run.context;
  Trap trap(context.errors, QStringLiteral("WorkOnMDB"));

  QString sourcePath, projectPath, machineCopyPath;
  trap.Run([&] { sourcePath = GetPathSourceOCXMDB(context); });
  trap.Run([&] { projectPath = GetPathOCXMDB(context); });
  // The host INI is the one start-up found.
  trap.Run([&] { machineCopyPath = GetPathMachineCopyMDB(context, context.files.hostIni); });
  run.visiWinSystemIndex = VisiWinSystemIndex(context);
  if (sourcePath.isEmpty()) return;
  std::optional<RunLock> lock;
  if (!trap.Run([&] { LockProject(lock, run, ExistingOrAsSpelled(projectPath)); })) return;
  // From here until it holds the new content, other programs may read the project database but none can
  // commit to it, so no commit of theirs is lost. A project database that cannot be held is not updated.
  std::optional<ProjectDatabaseHold> hold;
  if (!trap.Run([&] {
        const QString existing = ExistingOrAsSpelled(projectPath);
        if (FileExists(existing) && ProjectDatabaseHold::CanHold(existing)) hold.emplace(existing);
      })) {
    return;
  }

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

  bool complete = trap.Run([&] { run.varNameTemplates = ReadVarNameTemplates(sourcePath); });
  {
    // The renames and the takeover change a copy of that database: until the source replaces it whole,
    // the project database stays as it was.
    const bool fromProject = hold && takeoverPath == projectPath;
    const WorkingCopy workingCopy(trap, takeoverPath, projectPath, fromProject ? &*hold : nullptr);
    complete = UpdateSourceDatabase(run, trap, sourcePath, workingCopy, projectPath) && complete;
  }

  // A preset table that could not be generated completely (a source that is no database, templates that
  // could not be read, a record that failed, an update that was not saved) must not replace the project
  // database: the project would lose its presets and the values set on the machine. The failure has
  // been reported already.
  // The new content goes into the held file through SQLite; a new file, or one that is no database, is
  // replaced as a file.
  if (complete) {
    trap.Run([&] {
      if (hold) {
        hold->ReplaceWith(sourcePath);
      } else {
        ReplaceProjectDatabase(sourcePath, ExistingOrAsSpelled(projectPath));
      }
    });
  }
  hold.reset();

  if (sourceTimes) {
    trap.Run([&] {
      if (CanOpenForWriting(sourcePath)) RestoreFileTimes(sourcePath, *sourceTimes);
    });
  }
}
