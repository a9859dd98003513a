#include "presets/SourceUpdate.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "presets/AdditionalFields.h"
#include "presets/RecordSets.h"

#include <QStringList>

#include <optional>

namespace {

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
  // An old table that cannot be dropped is the fault to report; creating the new one would only fail
  // again because the old one is there.
  const bool dropped = trap.Run([&] {
    if (const std::optional<QString> old = source.FindTable(QStringLiteral("PRESET_DEFS"))) {
      source.Exec(QStringLiteral("DROP TABLE %1").arg(db::Quote(*old)));
    }
  });
  return dropped && trap.Run([&] { source.Exec(definition); });
}

// Takes the values of the database at takeoverDatabase over, when there is such a database and a
// PRESET_DEFS in it.
TakeoverResult TakeOverProjectValues(UpdateRun& run, Trap& trap, db::Connection& source,
                                     const QString& takeoverDatabase,
                                     const UnmatchedRecordVisitor& unmatched) {
  if (takeoverDatabase.isEmpty()) return {};
  QString existing;
  trap.Run([&] { existing = FindExistingFile(takeoverDatabase); });
  if (existing.isEmpty()) return {};
  std::optional<db::Connection> project;
  trap.Run([&] { project.emplace(db::Connection::Open(existing)); });
  if (!project) return {};
  std::optional<QString> oldTable;
  trap.Run([&] { oldTable = project->FindTable(QStringLiteral("PRESET_DEFS")); });
  if (!oldTable) return {};
  GetAddFields(run);
  return TakeoverMachineCopyMDBData(run, source, *project, *oldTable, unmatched);
}

}  // namespace

SourceUpdate UpdateSourceDatabase(UpdateRun& run, Trap& trap, const QString& sourcePath,
                                  const WorkingCopy& workingCopy, const QString& takeoverDatabase,
                                  UpdateReport& report) {
  SourceUpdate result;
  std::optional<db::Connection> source;
  trap.Run([&] { source.emplace(db::Connection::Open(sourcePath)); });
  // When the takeover ends the program, the source keeps its rebuilt table, as the record-by-record
  // saving of the original leaves it; the project database is not replaced then.
  std::optional<db::Transaction> transaction;
  if (source) trap.Run([&] { transaction.emplace(*source, db::Transaction::OnProgramEnd::Keep); });
  // A source that cannot be written (another program holds it, a folder without room for its journal)
  // is reported once, where the transaction could not begin: each step after it would fail the same way.
  if (source && !transaction) return result;
  const bool rebuilt = source && RebuildPresetTable(trap, *source);
  CategorieNachCategoryID(run, workingCopy.Copy());
  if (!source) return result;
  GenerationResult generation = CreateRecordSets(run, *source, workingCopy.Copy());
  result.templateRecords = generation.templateRecords;
  result.generated = generation.records;
  if (generation.renames) {
    result.renames = VarNamesInQuelleErsetzen(run, *generation.renames);
    report.RenameFailures(result.renames.failures);
  }
  result.takeover = TakeOverProjectValues(run, trap, *source, takeoverDatabase,
                                          [&](const UnmatchedRecord& record) { report.Unmatched(record); });
  // Not committed (another program holds the file), the work is rolled back: the source keeps its old
  // preset table. A transaction that SQLite already rolled back after a failed write (a full disk) has
  // nothing left to commit; that failure was reported where it happened.
  const bool committed =
      transaction && !transaction->RolledBackBySqlite() && trap.Run([&] { transaction->Commit(); });
  result.complete = rebuilt && generation.complete && committed;
  return result;
}

UpdateCounts Counts(const SourceUpdate& update) {
  UpdateCounts counts;
  counts.templateRecords = update.templateRecords;
  counts.generated = update.generated;
  counts.oldRecords = update.takeover.oldRecords;
  counts.takenOver = update.takeover.takenOver;
  counts.renamesApplied = update.renames.renamed;
  counts.renamesFailed = static_cast<int64_t>(update.renames.failures.size());
  counts.unmatched = update.takeover.unmatched;
  return counts;
}
