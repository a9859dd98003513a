#include "presets/ProjectRenames.h"

#include "framework/ErrorTrap.h"
#include "framework/Text.h"
#include "presets/Database.h"

#include <algorithm>
#include <optional>

namespace {

// The copy of the project database the update works on, or nullopt when there is none.
std::optional<QString> ProjectDatabase(const UpdateRun& run) {
  if (run.projectCopy.isEmpty()) return std::nullopt;
  return run.projectCopy;
}

// Which name is replaced by which: the active system's name is the new one.
std::pair<const QString&, const QString&> OldAndNew(int16_t systemIndex, const QString& name0,
                                                    const QString& name1) {
  if (systemIndex != 0) return {name0, name1};
  return {name1, name0};
}

// Writes each record's new name on its own: a rename that fails (a unique index that already holds the
// new name) is reported and the others go on.
void WriteRenames(UpdateRun& run, Trap& trap, db::Connection& project, const QString& rowNumber,
                  const std::vector<std::pair<int64_t, QString>>& renames) {
  std::optional<db::Statement> rename;
  std::optional<db::Transaction> transaction;
  if (!trap.Run([&] {
        rename.emplace(project.Prepare(
            QStringLiteral("UPDATE PRESET_DEFS SET var_name = ?1 WHERE %1 = ?2").arg(rowNumber)));
        transaction.emplace(project);
      })) {
    return;
  }
  RecordTrap records(trap);
  for (const auto& [row, name] : renames) {
    records.NextRecord();
    run.Port().LetEventsRun();
    records.Run([&] {
      rename->BindText(1, name);
      rename->BindInt(2, row);
      rename->Step();
    });
    rename->Reset();
  }
  trap.Run([&] { transaction->Commit(); });
  records.Finish();
}

}  // namespace

void VarNameInQuelleErsetzen(UpdateRun& run, const QString& name0, const QString& name1) {
  Trap trap(run.Errors(), QStringLiteral("VarNameInQuelleErsetzen"));
  const std::optional<QString> path = ProjectDatabase(run);
  if (!path) return;
  const auto [oldName, newName] = OldAndNew(run.visiWinSystemIndex, name0, name1);
  trap.Run([&] {
    db::Connection project = db::Connection::Open(*path);
    db::Statement rename =
        project.Prepare(QStringLiteral("UPDATE PRESET_DEFS SET var_name = ?1 WHERE Var_Name = ?2 COLLATE %1")
                            .arg(db::kNoCase));
    rename.BindText(1, newName);
    rename.BindText(2, oldName);
    rename.Step();
  });
}

void VarNamesInQuelleErsetzen(UpdateRun& run, const std::vector<VarNamePair>& pairs) {
  Trap trap(run.Errors(), QStringLiteral("VarNameInQuelleErsetzen"));
  if (pairs.empty()) return;
  const std::optional<QString> path = ProjectDatabase(run);
  if (!path) return;

  // The calls sorted by old name (folded case), then by call order: the calls that could rename a name
  // are one range, searched without a per-name allocation.
  struct Call {
    QString oldName;
    int64_t index;
    bool operator<(const Call& other) const {
      const int order = QString::compare(oldName, other.oldName, Qt::CaseSensitive);
      return order != 0 ? order < 0 : index < other.index;
    }
  };
  std::vector<Call> calls;
  calls.reserve(pairs.size());
  for (size_t j = 0; j < pairs.size(); ++j) {
    calls.push_back({OldAndNew(run.visiWinSystemIndex, pairs[j].name0, pairs[j].name1).first.toCaseFolded(),
                     static_cast<int64_t>(j)});
  }
  std::sort(calls.begin(), calls.end());
  // The first call at or after position that renames the name, or -1.
  const auto nextCall = [&](const QString& folded, int64_t position) -> int64_t {
    const auto it = std::lower_bound(calls.begin(), calls.end(), Call{folded, position});
    return it != calls.end() && it->oldName == folded ? it->index : -1;
  };

  std::optional<db::Connection> project;
  std::vector<std::pair<int64_t, QString>> renames;
  QString rowNumber;
  trap.Run([&] {
    project.emplace(db::Connection::Open(*path));
    rowNumber = db::RowNumberName(project->Fields(QStringLiteral("PRESET_DEFS")));
    // The renames are worked out on the names read once, then written by row number, so the table is
    // never scanned while it changes.
    db::Statement rows =
        project->Prepare(QStringLiteral("SELECT %1, Var_Name FROM PRESET_DEFS").arg(rowNumber));
    while (rows.Step()) {
      run.Port().LetEventsRun();
      if (!rows.ColumnIsText(1)) continue;
      // Follow the row through the calls in order: each call that finds its current name renames it.
      QString name = rows.ColumnText(1);
      int64_t position = 0;
      bool renamed = false;
      for (int64_t j = nextCall(name.toCaseFolded(), position); j >= 0; j = nextCall(name.toCaseFolded(), position)) {
        name = OldAndNew(run.visiWinSystemIndex, pairs[j].name0, pairs[j].name1).second;
        renamed = true;
        position = j + 1;
      }
      if (renamed) renames.emplace_back(rows.ColumnInt(0), name);
    }
  });
  if (!project || renames.empty()) return;
  WriteRenames(run, trap, *project, rowNumber, renames);
}

void CategorieNachCategoryID(UpdateRun& run) {
  Trap trap(run.Errors(), QStringLiteral("CategorieNachCategoryID"));
  const std::optional<QString> path = ProjectDatabase(run);
  if (!path) return;
  trap.Run([&] {
    db::Connection project = db::Connection::Open(*path);
    for (const db::FieldDef& field : project.Fields(QStringLiteral("PRESET_DEFS"))) {
      trap.Run([&] {
        if (UCase(field.name) != QLatin1String("CATEGORIE")) return;
        project.Exec(QStringLiteral("ALTER TABLE PRESET_DEFS RENAME COLUMN %1 TO category_id")
                         .arg(db::Quote(field.name)));
      });
    }
  });
}
