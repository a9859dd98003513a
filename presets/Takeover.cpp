#include "presets/Takeover.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/Text.h"
#include "presets/SqlKeys.h"

#include <QStringList>

#include <sqlite3.h>

#include <algorithm>

#include <optional>
#include <vector>

namespace {

const QString kProcedure = QStringLiteral("TakeoverMachineCopyMDBData");
const QString kQuote = QStringLiteral("\"");

// Fields up to this many are the standard ones; more means data the takeover does not carry over.
constexpr size_t kStandardFieldCount = 15;

// The fields the takeover reads from both tables, in the order of its query; the category field (index
// 4) may be the old name "categorie" in the old table.
const QStringList kTakeoverFields = {QStringLiteral("ID"),
                                     QStringLiteral("machine_type"),
                                     QStringLiteral("type"),
                                     QStringLiteral("var_name"),
                                     QStringLiteral("category_id"),
                                     QStringLiteral("isBitArray"),
                                     QStringLiteral("offset_or_bitno"),
                                     QStringLiteral("text"),
                                     QStringLiteral("page_name"),
                                     QStringLiteral("abs_min"),
                                     QStringLiteral("abs_max"),
                                     QStringLiteral("min"),
                                     QStringLiteral("max"),
                                     QStringLiteral("pass")};
constexpr int kCategoryField = 4;
constexpr int kMachineField = 1;
constexpr int kVarNameField = 3;
constexpr int kOffsetField = 6;
constexpr int kFirstValueField = 9;  // abs_min, abs_max, min, max, pass follow
constexpr int kValueCount = 5;

bool HasField(const std::vector<db::FieldDef>& fields, const QString& name) {
  for (const db::FieldDef& field : fields) {
    if (field.name.compare(name, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

QString UpperOcxName(const UpdateRun& run) {
  return UCase(run.context.location.GetOCXName());
}

// Logs the line, raises error 9999 with the fatal flag and ends the program (also in silent mode, where
// the handler itself goes on).
[[noreturn]] void AbortUpdate(UpdateRun& run, const QString& logLine) {
  ErrorHandling& errors = run.Errors();
  errors.WriteErrorLog(logLine);
  errors.HandleError(kErrDatabaseAbort, run.context.location.ExecutableName(),
                     QStringLiteral("Database-Error - Contact Administrator!"), kProcedure, true);
  EndProgram(kExitError);
}

[[noreturn]] void AbortAfterWarning(UpdateRun& run) {
  const ProgramLocation& location = run.context.location;
  const QString ocx = UpperOcxName(run);
  AbortUpdate(run, location.ExecutableName() + QStringLiteral(" :Database-Error - Contact Administrator!") +
                       QStringLiteral(" Configurationprogram ") + kQuote + ocx + kQuote +
                       QStringLiteral(" terminated.") + QStringLiteral(" Please check Configuration in ") +
                       kQuote + ocx + QStringLiteral(".CFG") + kQuote + QStringLiteral(" Restart ") +
                       UCase(location.ProgramFolder() + Sep() + location.ExecutableName()) +
                       QStringLiteral(".EXE!"));
}

[[noreturn]] void AbortForMissingField(UpdateRun& run, const QString& field) {
  const QString ocx = UpperOcxName(run);
  AbortUpdate(run, QStringLiteral("Conflict while attempting to extend database!") +
                       QStringLiteral("Configurationsfile ") + kQuote + ocx + QStringLiteral(".CFG") +
                       kQuote + QStringLiteral(", demanded field ") + kQuote + UCase(field) + kQuote +
                       QStringLiteral("missing in machinecopy-database") + kLineBreak +
                       QStringLiteral("Configuration of ") + kQuote + ocx + kQuote +
                       QStringLiteral(" aborted."));
}

// The warning that the old table holds fields which no declared additional field carries over.
void WarnAboutLostFields(UpdateRun& run) {
  const QString cfg = kQuote + UpperOcxName(run) + QStringLiteral(".CFG") + kQuote;
  const QStringList pieces = {
      QStringLiteral("WARNING!"),
      QStringLiteral("Machinecopy contains data in fields that won't be taken over!"),
      QStringLiteral("Configurationfile ") + cfg + QStringLiteral(", missing entry ") + kQuote +
          QStringLiteral("DataBaseAdditionalFields ") + kQuote,
      QStringLiteral("If you continue now this data will be lost."), QStringLiteral("Continue?")};
  if (run.context.mode.silent) {
    run.Errors().WriteServiceLog(pieces.join(QString()));
    return;
  }
  Question question;
  question.text = pieces.join(kLineBreak);
  question.title = run.context.location.ExecutableName();
  question.buttons = Buttons::YesNo;
  question.defaultAnswer = Answer::No;
  question.icon = Icon::Exclamation;
  if (run.Port().Ask(question) != Answer::Yes) AbortAfterWarning(run);
}

// The old table's category field may still carry its old name.
QString CategoryField(const std::vector<db::FieldDef>& oldFields) {
  QString categoryField = kTakeoverFields[kCategoryField];
  for (const db::FieldDef& field : oldFields) {
    if (UCase(field.name) == QLatin1String("CATEGORIE")) categoryField = field.name;
  }
  return categoryField;
}

// The old records ordered by key, the records of one key in table order (a table without row numbers
// keeps them in the order of its primary key), with their five values. A field missing from the old
// table is reported once (SQLite's own error) and read as Null. Records whose offset is no number have no
// key and are left out.
db::Statement OldRecordsByKey(Trap& trap, db::Connection& project, const QString& oldTable,
                              const std::vector<db::FieldDef>& oldFields) {
  const QString categoryField = CategoryField(oldFields);
  QStringList columns;
  for (int i = 0; i < kTakeoverFields.size(); ++i) {
    const QString field = i == kCategoryField ? categoryField : kTakeoverFields[i];
    if (HasField(oldFields, field)) {
      columns << db::Quote(field);
    } else {
      trap.Run([&] {
        project.Prepare(QStringLiteral("SELECT %1 FROM %2").arg(db::Quote(field), db::Quote(oldTable)));
      });
      columns << QStringLiteral("NULL");
    }
  }
  QStringList selected{KeyColumns(columns[kMachineField], columns[kVarNameField], columns[kOffsetField])};
  for (int v = 0; v < kValueCount; ++v) selected << columns[kFirstValueField + v];
  RegisterKeyFunctions(project);
  const QString tableOrder = db::RowAddressOf(project, oldTable).List();
  return project.Prepare(
      QStringLiteral("SELECT %1 FROM %2 WHERE qvz_offset_key(%3) IS NOT NULL ORDER BY %4, %5")
          .arg(selected.join(QLatin1Char(',')), db::Quote(oldTable), columns[kOffsetField], OrderByKey(1),
               tableOrder));
}

// Every declared additional field must exist in the rebuilt table (field 0 aside), compared exactly;
// a missing one ends the program.
void CheckAdditionalFields(UpdateRun& run, Trap& trap, db::Connection& database) {
  if (!run.addFields) return;
  const QStringList& declared = run.addFields->list;
  std::vector<db::FieldDef> newFields;
  trap.Run([&] { newFields = database.Fields(QStringLiteral("PRESET_DEFS")); });
  for (qsizetype k = 1; k < declared.size(); ++k) {
    bool found = false;
    for (size_t f = 1; f < newFields.size() && !found; ++f) found = newFields[f].name == declared.at(k);
    if (!found) AbortForMissingField(run, declared.at(k));
  }
}

// The rebuilt rows ordered by key, the rows of one key in table order, with their row numbers. The
// query is checked first with the fields the takeover query selects, so a table that lacks one of them
// is a schema fault. Rows whose machine_type or var_name is Null have no key.
struct RebuiltRows {
  QString rowNumber;
  std::optional<db::Statement> byKey;
};
void RebuiltRowsByKey(UpdateRun& run, db::Connection& database, RebuiltRows& rebuilt) {
  rebuilt.rowNumber = db::RowNumberName(database.Fields(QStringLiteral("PRESET_DEFS")));
  QStringList columns{rebuilt.rowNumber};
  for (const QString& field : kTakeoverFields) columns << db::Quote(field);
  if (run.addFields) {
    for (qsizetype k = 1; k < run.addFields->list.size(); ++k)
      columns << db::Quote(run.addFields->list.at(k));
  }
  database.Prepare(QStringLiteral("SELECT %1 FROM PRESET_DEFS").arg(columns.join(QLatin1Char(','))));
  RegisterKeyFunctions(database);
  const QString machine = db::Quote(kTakeoverFields[kMachineField]);
  const QString varName = db::Quote(kTakeoverFields[kVarNameField]);
  const QString offset = db::Quote(kTakeoverFields[kOffsetField]);
  rebuilt.byKey.emplace(database.Prepare(
      QStringLiteral("SELECT %1, %2 FROM PRESET_DEFS WHERE %3 IS NOT NULL AND %4 IS NOT NULL AND "
                     "qvz_offset_key(%5) IS NOT NULL ORDER BY %6, 1")
          .arg(rebuilt.rowNumber, KeyColumns(machine, varName, offset), machine, varName, offset,
               OrderByKey(2))));
}

// The old records as the takeover walks them, and what it counts and passes on of them.
struct OldRecordWalk {
  db::Statement& old;
  TakeoverResult& result;
  const UnmatchedRecordVisitor& unmatched;

  bool Next() {
    if (!old.Step()) return false;
    ++result.oldRecords;
    return true;
  }
  void Unmatched() {
    ++result.unmatched;
    if (!unmatched) return;
    UnmatchedRecord record{old.Column(1), old.Column(2), old.Column(3), {}};
    for (int v = 0; v < kValueCount; ++v) record.values[v] = old.Column(4 + v);
    unmatched(record);
  }
};

// Walks both key orders side by side: the first rebuilt row of every key that old records have gets the
// values of the last of those old records. For each pair, the row number is bound to parameter 1 of the
// target statement and the values to parameters 2 to 6, and write() runs it. Old records of a key that
// no rebuilt row has go to the walk as unmatched.
template <class Write>
void MatchValues(UpdateRun& run, db::Statement& rows, OldRecordWalk& walk, db::Statement& target,
                 Write&& write) {
  db::Statement& old = walk.old;
  bool hasOld = walk.Next();
  bool hasRow = hasOld && rows.Step();
  while (hasOld) {
    run.Port().LetEventsRun();
    const int order = hasRow ? CompareKeys(rows, 1, old, 0) : 1;
    if (order < 0) {
      hasRow = rows.Step();
      continue;
    }
    if (order > 0) {
      walk.Unmatched();
      hasOld = walk.Next();
      continue;
    }
    // The old records of this key one after the other: the last one bound is the one that counts.
    do {
      for (int v = 0; v < kValueCount; ++v) target.BindColumn(v + 2, old, 4 + v);
    } while ((hasOld = walk.Next()) && CompareKeys(rows, 1, old, 0) == 0);
    target.BindInt(1, rows.ColumnInt(0));
    write();
    hasRow = rows.Step();
  }
}

// Whether the rebuilt table fits in the connection's page cache, so that its rows can be written in any
// order without reading pages again. Without SQLite's page statistics it is taken not to fit.
bool FitsInCache(db::Connection& database) {
  if (!sqlite3_compileoption_used("ENABLE_DBSTAT_VTAB")) return false;
  db::Statement pages = database.Prepare(
      QStringLiteral("SELECT pageno FROM dbstat WHERE name = 'PRESET_DEFS' AND aggregate = 1"));
  if (!pages.Step()) return false;
  db::Statement pageSize = database.Prepare(QStringLiteral("SELECT page_size FROM pragma_page_size"));
  const int64_t tableKiB = pageSize.Step() ? pages.ColumnInt(0) * pageSize.ColumnInt(0) / 1024 : 0;
  return tableKiB <= database.CacheSizeKiB();
}

// Writes the values of each pair on its own. A table larger than the cache is written in table order,
// from front to back (the pairs are sorted first): written at random, it would be read again and again.
void WriteValues(UpdateRun& run, Trap& trap, db::Connection& database, RebuiltRows& rebuilt,
                 OldRecordWalk& old) {
  bool direct = false;
  std::optional<db::Statement> update;
  std::optional<db::Transaction> transaction;
  if (!trap.Run([&] {
        direct = FitsInCache(database);
        update.emplace(database.Prepare(
            QStringLiteral(
                "UPDATE PRESET_DEFS SET abs_min = ?2, abs_max = ?3, \"min\" = ?4, \"max\" = ?5, pass = ?6 "
                "WHERE %1 = ?1")
                .arg(rebuilt.rowNumber)));
        transaction.emplace(database);
      })) {
    return;
  }
  RecordTrap records(trap);
  const auto writeRow = [&] {
    records.NextRecord();
    if (records.Run([&] { update->Step(); })) ++old.result.takenOver;
    update->Reset();
  };
  if (direct) {
    trap.Run([&] { MatchValues(run, *rebuilt.byKey, old, *update, writeRow); });
  } else {
    std::optional<db::Statement> values;
    trap.Run([&] {
      database.Exec(QStringLiteral("CREATE TEMP TABLE qvz_takeover (row INTEGER, a, b, c, d, e)"));
      db::Statement insert =
          database.Prepare(QStringLiteral("INSERT INTO temp.qvz_takeover VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
      MatchValues(run, *rebuilt.byKey, old, insert, [&] {
        insert.Step();
        insert.Reset();
      });
      values.emplace(database.Prepare(QStringLiteral("SELECT * FROM temp.qvz_takeover ORDER BY row")));
    });
    bool more = false;
    while (values && trap.Run([&] { more = values->Step(); }) && more) {
      run.Port().LetEventsRun();
      for (int k = 0; k <= kValueCount; ++k) update->BindColumnStatic(k + 1, *values, k);
      writeRow();
    }
  }
  trap.Run([&] { transaction->Commit(); });
  records.Finish();
}

}  // namespace

TakeoverResult TakeoverMachineCopyMDBData(UpdateRun& run, db::Connection& database, db::Connection& project,
                                          const QString& oldTable, const UnmatchedRecordVisitor& unmatched) {
  Trap trap(run.Errors(), kProcedure);
  TakeoverResult result;
  const int64_t addFieldsCount = run.addFields ? run.addFields->count : 0;
  std::vector<db::FieldDef> oldFields;
  trap.Run([&] { oldFields = project.Fields(oldTable); });
  if (trap.If([&] { return oldFields.size() > kStandardFieldCount && addFieldsCount == 0; })) {
    WarnAboutLostFields(run);
  }

  // An old table without records takes nothing over and reports nothing.
  // Whether it has one is asked, not how many: counting reads every page of a large table.
  bool hasRecords = false;
  trap.Run([&] {
    db::Statement any =
        project.Prepare(QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(db::Quote(oldTable)));
    hasRecords = any.Step() && any.ColumnInt(0) != 0;
  });
  if (!hasRecords) return result;
  std::optional<db::Statement> old;
  // The old table is read once, front to back, into a sort: a small cache serves it, and the cache also
  // bounds the sort's memory. The sort holds each old record's key, five values and row number, about
  // half of what the working copy holds per record: a working copy of up to twice the sort's cache is
  // sorted in memory; a larger one is written out in pieces of half that cache, which a helper thread
  // sorts while the next is read.
  if (!trap.Run([&] {
        const int inMemoryKiB = run.takeoverSortKiB;
        const bool small = project.SizeKiB() <= 2 * int64_t{inMemoryKiB};
        project.SetCacheSize(small ? inMemoryKiB : inMemoryKiB / 2);
        db::SortWithHelperThread(project);
        old.emplace(OldRecordsByKey(trap, project, oldTable, oldFields));
      })) {
    return result;
  }

  CheckAdditionalFields(run, trap, database);
  // A rebuilt table that lacks a field of the takeover is a schema fault: reported once, nothing is
  // taken over.
  RebuiltRows rebuilt;
  if (!trap.Run([&] { RebuiltRowsByKey(run, database, rebuilt); })) return result;
  OldRecordWalk walk{*old, result, unmatched};
  WriteValues(run, trap, database, rebuilt, walk);
  return result;
}
