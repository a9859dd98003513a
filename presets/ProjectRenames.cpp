#include "presets/ProjectRenames.h"

#include "framework/ErrorTrap.h"
#include "framework/Text.h"
#include "presets/Database.h"
#include "presets/SqlKeys.h"

#include <memory>
#include <optional>

namespace {

// Which name is replaced by which: the active system's name is the new one.
std::pair<const QString&, const QString&> OldAndNew(int16_t systemIndex, const QString& name0,
                                                    const QString& name1) {
  if (systemIndex != 0) return {name0, name1};
  return {name1, name0};
}

// The fields of temp.qvz_renames that hold a record's address: row for a row number, row1, row2 and so on
// for the fields of a primary key.
QStringList AddressColumns(const db::RowAddress& address) {
  if (address.fields.size() == 1) return {QStringLiteral("row")};
  QStringList columns;
  for (qsizetype i = 1; i <= address.fields.size(); ++i) columns << QStringLiteral("row%1").arg(i);
  return columns;
}

// The first call that finds each record's name, in temp.qvz_renames (the record's address, seq, name,
// hops, old): the records and the calls are both read in the order of their names' hashes and then the
// names themselves, and walked side by side, so neither is searched at random however large it is.
void FirstRenames(UpdateRun& run, db::Connection& project, const db::RowAddress& address,
                  const NameFilter& oldNames) {
  const QLatin1String noCase(db::kNoCase);
  // A row number is an integer; the fields of a primary key keep their values as they are.
  const QString addressType = address.rowNumber ? QStringLiteral(" INTEGER") : QString();
  const QStringList addressColumns = AddressColumns(address);
  const auto k = static_cast<int>(addressColumns.size());
  project.Exec(
      QStringLiteral("CREATE TEMP TABLE qvz_renames (%1, seq INTEGER, name TEXT, hops INTEGER, old TEXT)")
          .arg(addressColumns.join(addressType + QStringLiteral(", ")) + addressType));
  db::Statement records = project.Prepare(
      QStringLiteral("SELECT qvz_name_hash(Var_Name) AS hash, Var_Name, %1 FROM PRESET_DEFS WHERE "
                     "typeof(Var_Name) = 'text' ORDER BY hash, Var_Name COLLATE %2, %1")
          .arg(address.List(), noCase));
  db::Statement calls = project.Prepare(
      QStringLiteral(
          "SELECT hash, old, seq, new FROM temp.qvz_rename_calls ORDER BY hash, old COLLATE %1, seq")
          .arg(noCase));
  QStringList parameters;
  for (int i = 1; i <= k + 4; ++i) parameters << QStringLiteral("?%1").arg(i);
  db::Statement insert = project.Prepare(
      QStringLiteral("INSERT INTO temp.qvz_renames VALUES (%1)").arg(parameters.join(QStringLiteral(", "))));
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
      for (int i = 0; i < k; ++i) insert.BindColumnStatic(1 + i, records, 2 + i);
      insert.BindColumnStatic(k + 1, calls, 2);
      insert.BindColumnStatic(k + 2, calls, 3);
      // A new name that no call has as its old name is final (hops -1): most are, and are not searched.
      insert.BindInt(k + 3, oldNames.MayHold(db::FoldedHash(calls.ColumnUtf8(3))) ? 0 : -1);
      insert.BindColumnStatic(k + 4, records, 1);
      insert.Step();
      insert.Reset();
    }
    hasRecord = records.Step();
  }
}

// The name each renamed record ends with: the first call that finds the record's name renames it, then
// the first later call that finds the new name, and so on. Each round follows the records renamed in the
// round before one call further, over an index of the calls; a name that no later call finds is final.
void FindRenames(UpdateRun& run, db::Connection& project, const db::RowAddress& address,
                 const NameFilter& oldNames) {
  RegisterKeyFunctions(project);
  project.Exec(
      QStringLiteral("CREATE INDEX temp.qvz_rename_calls_name ON qvz_rename_calls (hash, old COLLATE "
                     "%1, seq, new)")
          .arg(QLatin1String(db::kNoCase)));
  FirstRenames(run, project, address, oldNames);
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
void WriteRenames(UpdateRun& run, Trap& trap, db::Connection& project, const db::RowAddress& address,
                  RenameResult& result) {
  std::optional<db::Statement> renames;
  std::optional<db::Statement> rename;
  const QStringList addressColumns = AddressColumns(address);
  const auto k = static_cast<int>(addressColumns.size());
  QStringList where;
  for (int i = 0; i < k; ++i) where << QStringLiteral("%1 = ?%2").arg(address.fields[i]).arg(i + 2);
  if (!trap.Run([&] {
        renames.emplace(
            project.Prepare(QStringLiteral("SELECT name, old, %1 FROM temp.qvz_renames ORDER BY %1")
                                .arg(addressColumns.join(QLatin1Char(',')))));
        rename.emplace(project.Prepare(QStringLiteral("UPDATE PRESET_DEFS SET var_name = ?1 WHERE %1")
                                           .arg(where.join(QStringLiteral(" AND ")))));
      })) {
    return;
  }
  RecordTrap records(trap);
  bool more = false;
  while (trap.Run([&] { more = renames->Step(); }) && more) {
    records.NextRecord();
    run.Port().LetEventsRun();
    const bool renamed = records.Run([&] {
      rename->BindColumnStatic(1, *renames, 0);
      for (int i = 0; i < k; ++i) rename->BindColumnStatic(2 + i, *renames, 2 + i);
      try {
        rename->Step();
      } catch (const AppError& e) {
        result.failures.push_back({renames->ColumnText(1), renames->ColumnText(0), e});
        throw;
      }
    });
    if (renamed) ++result.renamed;
    rename->Reset();
  }
  records.Finish();
}

}  // namespace

void VarNameInQuelleErsetzen(UpdateRun& run, const QString& workingCopy, const QString& name0,
                             const QString& name1) {
  Trap trap(run.Errors(), QStringLiteral("VarNameInQuelleErsetzen"));
  if (workingCopy.isEmpty()) return;
  const auto names = OldAndNew(run.visiWinSystemIndex, name0, name1);
  const QString& oldName = names.first;
  const QString& newName = names.second;
  trap.Run([&] {
    db::Connection project = db::Connection::OpenWorkingCopy(workingCopy);
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

RenameCalls::RenameCalls(const QString& workingCopy, int16_t visiWinSystemIndex, int64_t expectedCalls)
    : studio_(visiWinSystemIndex != 0), oldNames_(expectedCalls) {
  if (workingCopy.isEmpty()) return;
  try {
    project_ = std::make_unique<db::Connection>(db::Connection::OpenWorkingCopy(workingCopy));
    // The working copy is read and written front to back: a small cache serves it. The calls and their
    // index are searched: they get the room.
    project_->SetCacheSize(8 * 1024);
    project_->SetTempCacheSize(16 * 1024);
    // The calls and the renames they lead to are kept in one transaction that the renames commit.
    transaction_.emplace(*project_);
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
  // The active system's name is the new one.
  const QByteArrayView oldName = studio_ ? name0 : name1;
  const QByteArrayView newName = studio_ ? name1 : name0;
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

// Finds what each record is renamed to and writes it, then ends the calls' transaction.
struct RenameWork {
  static RenameResult Apply(UpdateRun& run, RenameCalls& calls) {
    Trap trap(run.Errors(), QStringLiteral("VarNameInQuelleErsetzen"));
    RenameResult result;
    result.calls = calls.count_;
    if (!calls.project_ && !calls.failure_) return result;
    if (calls.count_ > 0 && (calls.kept_ > 0 || calls.failure_)) {
      db::RowAddress address;
      if (trap.Run([&] {
            if (calls.failure_) throw *calls.failure_;
            address = db::RowAddressOf(*calls.project_, QStringLiteral("PRESET_DEFS"));
            FindRenames(run, *calls.project_, address, calls.oldNames_);
          })) {
        WriteRenames(run, trap, *calls.project_, address, result);
      }
    }
    if (calls.transaction_) trap.Run([&] { calls.transaction_->Commit(); });
    calls.insert_.reset();
    calls.transaction_.reset();
    calls.project_.reset();
    return result;
  }
};

RenameResult VarNamesInQuelleErsetzen(UpdateRun& run, RenameCalls& calls) {
  return RenameWork::Apply(run, calls);
}

void CategorieNachCategoryID(UpdateRun& run, const QString& workingCopy) {
  Trap trap(run.Errors(), QStringLiteral("CategorieNachCategoryID"));
  if (workingCopy.isEmpty()) return;
  trap.Run([&] {
    db::Connection project = db::Connection::OpenWorkingCopy(workingCopy);
    for (const db::FieldDef& field : project.Fields(QStringLiteral("PRESET_DEFS"))) {
      trap.Run([&] {
        if (UCase(field.name) != QLatin1String("CATEGORIE")) return;
        project.Exec(QStringLiteral("ALTER TABLE PRESET_DEFS RENAME COLUMN %1 TO category_id")
                         .arg(db::Quote(field.name)));
      });
    }
  });
}
