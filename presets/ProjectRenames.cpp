#include "presets/ProjectRenames.h"

#include "framework/ErrorTrap.h"
#include "framework/Text.h"
#include "presets/Database.h"
#include "presets/SqlKeys.h"

#include <optional>

namespace {

// The copy of the project database the update works on, or nullopt when there is none.
std::optional<QString> ProjectDatabase(const UpdateRun& run) {
  if (run.projectCopy.isEmpty()) return std::nullopt;
  return run.projectCopy;
}

// A connection to the working copy: it is thrown away after the update (also after a crash), so its
// writes need not wait for the disk. Its sorts run with a small cache and may use a second thread.
db::Connection OpenWorkingCopy(const QString& path) {
  db::Connection project = db::Connection::Open(path);
  project.Exec(QStringLiteral("PRAGMA synchronous=OFF"));
  db::SortWithHelperThread(project);
  return project;
}

// Which name is replaced by which: the active system's name is the new one.
std::pair<const QString&, const QString&> OldAndNew(int16_t systemIndex, const QString& name0,
                                                    const QString& name1) {
  if (systemIndex != 0) return {name0, name1};
  return {name1, name0};
}

// The first call that finds each record's name, in temp.qvz_renames (row, seq, name, hops): the records
// and the calls are both read in the order of their names' hashes and then the names themselves, and
// walked side by side, so neither is searched at random however large it is.
void FirstRenames(UpdateRun& run, db::Connection& project, const QString& rowNumber,
                  const NameFilter& oldNames) {
  const QLatin1String noCase(db::kNoCase);
  project.Exec(
      QStringLiteral("CREATE TEMP TABLE qvz_renames (row INTEGER, seq INTEGER, name TEXT, hops INTEGER)"));
  db::Statement records = project.Prepare(
      QStringLiteral("SELECT qvz_name_hash(Var_Name) AS hash, Var_Name, %1 FROM PRESET_DEFS WHERE "
                     "typeof(Var_Name) = 'text' ORDER BY hash, Var_Name COLLATE %2, %1")
          .arg(rowNumber, noCase));
  db::Statement calls = project.Prepare(
      QStringLiteral(
          "SELECT hash, old, seq, new FROM temp.qvz_rename_calls ORDER BY hash, old COLLATE %1, seq")
          .arg(noCase));
  db::Statement insert =
      project.Prepare(QStringLiteral("INSERT INTO temp.qvz_renames VALUES (?1, ?2, ?3, ?4)"));
  bool hasRecord = records.Step();
  bool hasCall = hasRecord && calls.Step();
  while (hasRecord && hasCall) {
    run.Port().LetEventsRun();
    const int64_t x = records.ColumnInt(0);
    const int64_t y = calls.ColumnInt(0);
    const int order =
        x != y ? (x < y ? -1 : 1) : db::CompareNoCase(records.ColumnUtf8(1), calls.ColumnUtf8(1));
    if (order > 0) {
      hasCall = calls.Step();
      continue;
    }
    if (order == 0) {  // the first call of the name's group is the first that finds it
      insert.BindColumnStatic(1, records, 2);
      insert.BindColumnStatic(2, calls, 2);
      insert.BindColumnStatic(3, calls, 3);
      // A new name that no call has as its old name is final (hops -1): most are, and are not searched.
      insert.BindInt(4, oldNames.MayHold(db::FoldedHash(calls.ColumnUtf8(3))) ? 0 : -1);
      insert.Step();
      insert.Reset();
    }
    hasRecord = records.Step();
  }
}

// The name each renamed record ends with: the first call that finds the record's name renames it, then
// the first later call that finds the new name, and so on. Each round follows the records renamed in the
// round before one call further, over an index of the calls; a name that no later call finds is final.
void FindRenames(UpdateRun& run, db::Connection& project, const QString& rowNumber,
                 const NameFilter& oldNames) {
  RegisterKeyFunctions(project);
  project.Exec(
      QStringLiteral("CREATE INDEX temp.qvz_rename_calls_name ON qvz_rename_calls (hash, old COLLATE "
                     "%1, seq, new)")
          .arg(QLatin1String(db::kNoCase)));
  FirstRenames(run, project, rowNumber, oldNames);
  const QString later =
      QStringLiteral(
          "FROM temp.qvz_rename_calls AS c WHERE c.hash = qvz_name_hash(qvz_renames.name) AND "
          "c.old = qvz_renames.name COLLATE %1 AND c.seq > qvz_renames.seq")
          .arg(QLatin1String(db::kNoCase));
  db::Statement next =
      project.Prepare(QStringLiteral("UPDATE temp.qvz_renames SET (seq, name, hops) = (SELECT "
                                     "c.seq, c.new, ?1 + 1 %1 ORDER BY c.seq LIMIT 1) WHERE "
                                     "hops = ?1 AND EXISTS (SELECT 1 %1)")
                          .arg(later));
  for (int64_t hops = 0;; ++hops) {
    next.BindInt(1, hops);
    next.Step();
    next.Reset();
    if (project.Changes() == 0) break;
  }
}

// Writes each record's new name on its own: a rename that fails (a unique index that already holds the
// new name) is reported and the others go on.
void WriteRenames(UpdateRun& run, Trap& trap, db::Connection& project, const QString& rowNumber) {
  std::optional<db::Statement> renames;
  std::optional<db::Statement> rename;
  if (!trap.Run([&] {
        renames.emplace(
            project.Prepare(QStringLiteral("SELECT row, name FROM temp.qvz_renames ORDER BY row")));
        rename.emplace(project.Prepare(
            QStringLiteral("UPDATE PRESET_DEFS SET var_name = ?1 WHERE %1 = ?2").arg(rowNumber)));
      })) {
    return;
  }
  RecordTrap records(trap);
  bool more = false;
  while (trap.Run([&] { more = renames->Step(); }) && more) {
    records.NextRecord();
    run.Port().LetEventsRun();
    records.Run([&] {
      rename->BindColumnStatic(1, *renames, 1);
      rename->BindColumnStatic(2, *renames, 0);
      rename->Step();
    });
    rename->Reset();
  }
  trap.Run([&] { project.Exec(QStringLiteral("COMMIT")); });
  records.Finish();
}

}  // namespace

void VarNameInQuelleErsetzen(UpdateRun& run, const QString& name0, const QString& name1) {
  Trap trap(run.Errors(), QStringLiteral("VarNameInQuelleErsetzen"));
  const std::optional<QString> path = ProjectDatabase(run);
  if (!path) return;
  const auto names = OldAndNew(run.visiWinSystemIndex, name0, name1);
  const QString& oldName = names.first;
  const QString& newName = names.second;
  trap.Run([&] {
    db::Connection project = OpenWorkingCopy(*path);
    db::Statement rename =
        project.Prepare(QStringLiteral("UPDATE PRESET_DEFS SET var_name = ?1 WHERE Var_Name = ?2 COLLATE %1")
                            .arg(db::kNoCase));
    rename.BindText(1, newName);
    rename.BindText(2, oldName);
    rename.Step();
  });
}

namespace {

// The names the records of the working copy have now (the text ones, as the renames find them); nullopt
// when they cannot be read, so every call is kept and the renames report the fault as before.
std::optional<NameFilter> PresentNames(db::Connection& project, int64_t expectedNames) {
  try {
    NameFilter names(expectedNames);
    db::Statement records =
        project.Prepare(QStringLiteral("SELECT Var_Name FROM PRESET_DEFS WHERE typeof(Var_Name) = 'text'"));
    while (records.Step()) names.Add(db::FoldedHash(records.ColumnUtf8(0)));
    return names;
  } catch (const AppError&) {
    return std::nullopt;
  }
}

}  // namespace

RenameCalls::RenameCalls(UpdateRun& run, int64_t expectedCalls) : run_(run), oldNames_(expectedCalls) {
  const std::optional<QString> path = ProjectDatabase(run);
  if (!path) return;
  wanted_ = true;
  try {
    project_.emplace(OpenWorkingCopy(*path));
    // The working copy is read and written front to back: a small cache serves it. The calls and their
    // index are searched: they get the room.
    project_->Exec(QStringLiteral("PRAGMA cache_size=-8192"));
    // The calls and the renames they lead to are kept in one transaction that the renames commit.
    project_->Exec(QStringLiteral("PRAGMA temp.cache_size=-16384"));
    project_->Exec(QStringLiteral("BEGIN IMMEDIATE"));
    project_->Exec(QStringLiteral(
        "CREATE TEMP TABLE qvz_rename_calls (seq INTEGER PRIMARY KEY, hash INTEGER, old TEXT, new TEXT)"));
    insert_.emplace(project_->Prepare(
        QStringLiteral("INSERT INTO temp.qvz_rename_calls (hash, old, new) VALUES (?1, ?2, ?3)")));
  } catch (const AppError& e) {
    failure_ = e;
  }
  // The old records and the new names the calls give them: about twice the calls.
  if (project_ && !failure_) presentNames_ = PresentNames(*project_, 2 * expectedCalls);
}

void RenameCalls::Add(QByteArrayView name0, QByteArrayView name1) {
  ++count_;
  if (!insert_ || failure_) return;
  const bool studio = run_.visiWinSystemIndex != 0;  // the active system's name is the new one
  const QByteArrayView oldName = studio ? name0 : name1;
  const QByteArrayView newName = studio ? name1 : name0;
  const uint64_t hash = db::FoldedHash(oldName);
  // A call whose old name no record has, neither from the start nor from an earlier call, renames
  // nothing and is not kept. In a project that already uses the active system's names, that is nearly
  // every call.
  if (presentNames_) {
    if (!presentNames_->MayHold(hash)) return;
    presentNames_->Add(db::FoldedHash(newName));
  }
  ++kept_;
  try {
    oldNames_.Add(hash);
    insert_->BindInt(1, static_cast<int64_t>(hash));
    insert_->BindStatic(2, oldName);
    insert_->BindStatic(3, newName);
    insert_->Step();
  } catch (const AppError& e) {
    failure_ = e;
  }
  insert_->Reset();
}

namespace {

// Whether a field of this declared type keeps a text as it is given: SQLite's affinity TEXT or none.
bool KeepsTextAsGiven(const QString& declaredType) {
  const QString type = declaredType.toUpper();
  if (type.contains(QLatin1String("INT"))) return false;
  if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) ||
      type.contains(QLatin1String("TEXT"))) {
    return true;
  }
  return type.isEmpty() || type.contains(QLatin1String("BLOB"));
}

// Whether no rename of PRESET_DEFS can fail or read back other than written: a table without index,
// trigger, CHECK or generated field, whose var_name keeps a text as given. It must also be the table the
// takeover finds by its name (the one SQLite renamed in, not another whose name only folds alike). When
// that cannot be told, they are written.
bool RenamesNeedNotBeWritten(db::Connection& project, const std::vector<db::FieldDef>& fields) {
  try {
    db::Statement table = project.Prepare(QStringLiteral(
        "SELECT name, sql FROM sqlite_master WHERE type = 'table' AND name = 'PRESET_DEFS' COLLATE NOCASE"));
    if (!table.Step() || table.ColumnText(0) != project.FindTable(QStringLiteral("PRESET_DEFS")) ||
        table.ColumnText(1).contains(QLatin1String("CHECK"), Qt::CaseInsensitive)) {
      return false;
    }
    db::Statement more = project.Prepare(QStringLiteral(
        "SELECT 1 FROM sqlite_master WHERE type IN ('index', 'trigger') AND tbl_name = 'PRESET_DEFS' COLLATE "
        "NOCASE UNION ALL SELECT 1 FROM pragma_table_xinfo('PRESET_DEFS') WHERE hidden <> 0"));
    if (more.Step()) return false;
  } catch (const AppError&) {
    return false;
  }
  for (const db::FieldDef& field : fields) {
    if (field.name.compare(QLatin1String("var_name"), Qt::CaseInsensitive) == 0) {
      return KeepsTextAsGiven(field.declaredType);
    }
  }
  return false;
}

}  // namespace

void ApplyRenames(UpdateRun& run, RenameCalls& calls, bool mayLeaveUnwritten) {
  Trap trap(run.Errors(), QStringLiteral("VarNameInQuelleErsetzen"));
  if (!calls.wanted_ || calls.count_ == 0 || (calls.kept_ == 0 && !calls.failure_)) return;
  QString rowNumber;
  bool unwritten = false;
  if (!trap.Run([&] {
        if (calls.failure_) throw *calls.failure_;
        const std::vector<db::FieldDef> fields = calls.project_->Fields(QStringLiteral("PRESET_DEFS"));
        rowNumber = db::RowNumberName(fields);
        FindRenames(run, *calls.project_, rowNumber, calls.oldNames_);
        unwritten = mayLeaveUnwritten && RenamesNeedNotBeWritten(*calls.project_, fields);
      })) {
    return;
  }
  // The takeover reads the renames in the order of the old records.
  if (unwritten && trap.Run([&] {
        calls.project_->Exec(QStringLiteral("CREATE INDEX temp.qvz_renames_row ON qvz_renames (row, name)"));
        calls.project_->Exec(QStringLiteral("COMMIT"));
      })) {
    run.renamedNames.emplace(std::move(*calls.project_));
    calls.project_.reset();
    return;
  }
  WriteRenames(run, trap, *calls.project_, rowNumber);
}

void VarNamesInQuelleErsetzen(UpdateRun& run, RenameCalls& calls) {
  ApplyRenames(run, calls, false);
}

void VarNamesInQuelleErsetzenForTakeover(UpdateRun& run, RenameCalls& calls) {
  ApplyRenames(run, calls, true);
}

void CategorieNachCategoryID(UpdateRun& run) {
  Trap trap(run.Errors(), QStringLiteral("CategorieNachCategoryID"));
  const std::optional<QString> path = ProjectDatabase(run);
  if (!path) return;
  trap.Run([&] {
    db::Connection project = OpenWorkingCopy(*path);
    for (const db::FieldDef& field : project.Fields(QStringLiteral("PRESET_DEFS"))) {
      trap.Run([&] {
        if (UCase(field.name) != QLatin1String("CATEGORIE")) return;
        project.Exec(QStringLiteral("ALTER TABLE PRESET_DEFS RENAME COLUMN %1 TO category_id")
                         .arg(db::Quote(field.name)));
      });
    }
  });
}
