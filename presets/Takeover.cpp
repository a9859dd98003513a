#include "presets/Takeover.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/Text.h"

#include <QHash>
#include <QStringList>

#include <array>
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

// The record key: both texts compared without regard to case, the offset as a number.
struct Key {
  QString machine;  // case-folded
  QString varName;  // case-folded
  double offset = 0;
  bool operator==(const Key& other) const {
    return offset == other.offset && machine == other.machine && varName == other.varName;
  }
};
size_t qHash(const Key& key, size_t seed = 0) {
  return qHashMulti(seed, key.machine, key.varName, key.offset);
}

struct OldRecord {
  std::optional<Key> key;  // none when the offset is no number: such a record matches nothing
  std::array<db::Value, kValueCount> values;
};

std::optional<Key> MakeKey(const db::Value& machine, const db::Value& varName, const db::Value& offset) {
  const std::optional<double> number = db::ToNumber(offset);
  if (!number) return std::nullopt;
  return Key{db::ToQString(machine).toCaseFolded(), db::ToQString(varName).toCaseFolded(),
             *number == 0 ? 0.0 : *number};
}

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

// The old records, read before anything is written. A field missing from the old table is reported
// once (SQLite's own error) and read as Null.
std::vector<OldRecord> ReadOldRecords(UpdateRun& run, Trap& trap, db::Connection& project, const QString& oldTable,
                                      const std::vector<db::FieldDef>& oldFields, int64_t count) {
  std::vector<OldRecord> oldRecords;
  oldRecords.reserve(count);
  const QString categoryField = CategoryField(oldFields);
  QStringList columns;
  for (int i = 0; i < kTakeoverFields.size(); ++i) {
    const QString field = i == kCategoryField ? categoryField : kTakeoverFields[i];
    if (HasField(oldFields, field)) {
      columns << db::Quote(field);
    } else {
      trap.Run([&] { project.Prepare(QStringLiteral("SELECT %1 FROM %2").arg(db::Quote(field), db::Quote(oldTable))); });
      columns << QStringLiteral("NULL");
    }
  }
  db::Statement read =
      project.Prepare(QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), db::Quote(oldTable)));
  while (read.Step()) {
    run.Port().LetEventsRun();
    OldRecord record;
    record.key = MakeKey(read.Column(kMachineField), read.Column(kVarNameField), read.Column(kOffsetField));
    for (int v = 0; v < kValueCount; ++v) record.values[v] = read.Column(kFirstValueField + v);
    oldRecords.push_back(std::move(record));
  }
  return oldRecords;
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

// The rebuilt rows by key: the first row of every key, found through the same fields the takeover query
// selects, so a table that lacks one of them is a schema fault. Rows are addressed by their row number.
struct RebuiltRows {
  QString rowNumber;
  QHash<Key, int64_t> firstRowOfKey;
};
RebuiltRows ReadRebuiltRows(UpdateRun& run, db::Connection& database, int64_t expected) {
  RebuiltRows rebuilt;
  rebuilt.rowNumber = db::RowNumberName(database.Fields(QStringLiteral("PRESET_DEFS")));
  QStringList columns{rebuilt.rowNumber};
  for (const QString& field : kTakeoverFields) columns << db::Quote(field);
  if (run.addFields) {
    for (qsizetype k = 1; k < run.addFields->list.size(); ++k) columns << db::Quote(run.addFields->list.at(k));
  }
  db::Statement rows = database.Prepare(
      QStringLiteral("SELECT %1 FROM PRESET_DEFS ORDER BY %2").arg(columns.join(QLatin1Char(',')), rebuilt.rowNumber));
  rebuilt.firstRowOfKey.reserve(expected);
  while (rows.Step()) {
    run.Port().LetEventsRun();
    if (rows.ColumnIsNull(1 + kMachineField) || rows.ColumnIsNull(1 + kVarNameField)) continue;
    const std::optional<Key> key =
        MakeKey(rows.Column(1 + kMachineField), rows.Column(1 + kVarNameField), rows.Column(1 + kOffsetField));
    if (key && !rebuilt.firstRowOfKey.contains(*key)) rebuilt.firstRowOfKey.insert(*key, rows.ColumnInt(0));
  }
  return rebuilt;
}

// Writes the five values of every old record into the rebuilt row of its key, one record at a time.
void WriteValues(UpdateRun& run, Trap& trap, db::Connection& database, const RebuiltRows& rebuilt,
                 const std::vector<OldRecord>& oldRecords) {
  std::optional<db::Statement> update;
  std::optional<db::Transaction> transaction;
  if (!trap.Run([&] {
        update.emplace(database.Prepare(
            QStringLiteral("UPDATE PRESET_DEFS SET abs_min = ?1, abs_max = ?2, \"min\" = ?3, \"max\" = ?4, pass = ?5 "
                           "WHERE %1 = ?6")
                .arg(rebuilt.rowNumber)));
        transaction.emplace(database);
      })) {
    return;
  }
  RecordTrap records(trap);
  for (const OldRecord& old : oldRecords) {
    records.NextRecord();
    run.Port().LetEventsRun();
    if (!old.key) continue;
    const auto match = rebuilt.firstRowOfKey.constFind(*old.key);
    if (match == rebuilt.firstRowOfKey.constEnd()) continue;
    records.Run([&] {
      for (int v = 0; v < kValueCount; ++v) update->Bind(v + 1, old.values[v]);
      update->BindInt(kValueCount + 1, *match);
      update->Step();
    });
    update->Reset();
  }
  trap.Run([&] { transaction->Commit(); });
  records.Finish();
}

}  // namespace

void TakeoverMachineCopyMDBData(UpdateRun& run, db::Connection& database, db::Connection& project,
                                const QString& oldTable) {
  Trap trap(run.Errors(), kProcedure);
  const int64_t addFieldsCount = run.addFields ? run.addFields->count : 0;
  std::vector<db::FieldDef> oldFields;
  trap.Run([&] { oldFields = project.Fields(oldTable); });
  if (trap.If([&] { return oldFields.size() > kStandardFieldCount && addFieldsCount == 0; })) {
    WarnAboutLostFields(run);
  }

  // An old table without records takes nothing over and reports nothing.
  int64_t oldCount = 0;
  trap.Run([&] {
    db::Statement count = project.Prepare(QStringLiteral("SELECT count(*) FROM %1").arg(db::Quote(oldTable)));
    if (count.Step()) oldCount = count.ColumnInt(0);
  });
  if (oldCount <= 0) return;
  std::vector<OldRecord> oldRecords;
  trap.Run([&] { oldRecords = ReadOldRecords(run, trap, project, oldTable, oldFields, oldCount); });
  if (oldRecords.empty()) return;

  CheckAdditionalFields(run, trap, database);
  // A rebuilt table that lacks a field of the takeover is a schema fault: reported once, nothing is
  // taken over.
  RebuiltRows rebuilt;
  if (!trap.Run([&] { rebuilt = ReadRebuiltRows(run, database, oldCount); })) return;
  WriteValues(run, trap, database, rebuilt, oldRecords);
}
