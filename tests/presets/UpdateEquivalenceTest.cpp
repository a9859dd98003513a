// The update against a plain record-by-record model of it, on generated projects: names and keys in
// mixed case and with non-ASCII letters, duplicate keys, Null keys, offsets held as text, rename chains,
// quotes, and the fields of both tables in changing orders; small projects, and large ones whose old
// records the takeover sorts in pieces written out.
#include "presets/Database.h"
#include "presets/DatabaseScript.h"
#include "presets/Placeholders.h"
#include "presets/WorkOnMdb.h"
#include "tests/presets/PresetsTestSupport.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <numeric>
#include <random>
#include <tuple>

namespace {

using Record = std::map<QString, db::Value>;  // by lower-case field name

const QStringList kFields = {
    "ID",   "machine_type", "type",    "part",    "var_name", "category_id", "isBitArray", "offset_or_bitno",
    "text", "page_name",    "abs_min", "abs_max", "min",      "max",         "pass"};
const QStringList kValueFields = {"abs_min", "abs_max", "min", "max", "pass"};

QString Literal(const db::Value& v) {
  if (db::IsNull(v)) return QStringLiteral("NULL");
  if (const auto* i = std::get_if<int64_t>(&v)) return QString::number(*i);
  if (const auto* d = std::get_if<double>(&v)) return QString::number(*d, 'g', 17) + QStringLiteral("e0");
  return QLatin1Char('\'') + db::ToQString(v).replace(QLatin1Char('\''), QStringLiteral("''")) +
         QLatin1Char('\'');
}

// A value with its storage class, for comparing.
QString Shown(const db::Value& v) {
  return QString::number(v.index()) + QLatin1Char(':') + db::ToQString(v);
}

// The records in table order: row number order, or the primary key's for a table without row numbers.
std::vector<Record> ReadRecords(const QString& path, const QString& table,
                                const QString& tableOrder = QStringLiteral("rowid")) {
  db::Connection connection = db::Connection::Open(path);
  db::Statement rows =
      connection.Prepare(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, tableOrder));
  std::vector<Record> records;
  while (rows.Step()) {
    Record& record = records.emplace_back();
    for (int i = 0; i < rows.ColumnCount(); ++i) record[rows.ColumnName(i).toLower()] = rows.Column(i);
  }
  return records;
}

QString Folded(const db::Value& v) {
  return db::ToQString(v).toCaseFolded();
}

class Case {
 public:
  explicit Case(unsigned seed) : random_(seed) {}

  template <class T>
  const T& Pick(const std::vector<T>& choices) {
    return choices[std::uniform_int_distribution<size_t>(0, choices.size() - 1)(random_)];
  }
  int Number(int from, int to) { return std::uniform_int_distribution<int>(from, to)(random_); }

  // The fields in a changing order: ID first, part before var_name.
  QStringList FieldOrder() {
    QStringList order = kFields.mid(1);
    std::shuffle(order.begin(), order.end(), random_);
    if (order.indexOf("part") > order.indexOf("var_name"))
      order.swapItemsAt(order.indexOf("part"), order.indexOf("var_name"));
    return QStringList{"ID"} + order;
  }

  // A column list with the declared types; offset_or_bitno is declared so that text offsets stay text
  // in some projects.
  QString Columns(const QStringList& order, const QString& offsetType) const {
    QStringList columns;
    for (const QString& f : order) {
      const QString type = f == "offset_or_bitno" ? offsetType
                           : (f == "machine_type" || f == "var_name" || f == "text" || f == "page_name")
                               ? QStringLiteral("TEXT(255)")
                               : QStringLiteral("DOUBLE");
      columns << f + QLatin1Char(' ') + type;
    }
    return columns.join(QStringLiteral(", "));
  }

  QString Insert(const QString& table, const QStringList& order, const Record& record) const {
    QStringList values;
    for (const QString& f : order) values << Literal(record.at(f.toLower()));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3);\n").arg(table, order.join(','), values.join(','));
  }

  std::mt19937 random_;
};

db::Value Text(const char* text) {
  return db::TextValue(QString::fromUtf8(text));
}

// Counts the files SQLite's sorts write their pieces to while it lives: it is SQLite's default file
// system for that time, passing every call on to the one before it. A sort's piece file is a temporary
// journal without a name.
class SortFileCounter {
 public:
  SortFileCounter() : base_(sqlite3_vfs_find(nullptr)), vfs_(*base_) {
    current_ = this;
    vfs_.zName = "qvz_sort_file_counter";
    vfs_.xOpen = &Open;
    sqlite3_vfs_register(&vfs_, 1);
  }
  ~SortFileCounter() {
    sqlite3_vfs_unregister(&vfs_);
    current_ = nullptr;
  }
  SortFileCounter(const SortFileCounter&) = delete;
  SortFileCounter& operator=(const SortFileCounter&) = delete;
  int Files() const { return files_; }

 private:
  static int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    if (!name && (flags & SQLITE_OPEN_TEMP_JOURNAL)) ++current_->files_;  // also from the helper thread
    return current_->base_->xOpen(current_->base_, name, file, flags, outFlags);
  }
  static inline SortFileCounter* current_ = nullptr;
  sqlite3_vfs* base_;
  sqlite3_vfs vfs_;
  std::atomic<int> files_{0};
};

}  // namespace

class UpdateEquivalenceTest : public PresetsTest {
 protected:
  // The model: generation in template ID order, each call's renames over the old records in call order,
  // then each old record in table order gives its values to the first new record of its key.
  // A rename is written into the old table: a name the table refuses (refused) leaves the record's name
  // as it was; a name is stored as the table's var_name field stores it (stored).
  std::vector<Record> Model(std::vector<Record> templates, std::vector<Record> old, const QString& machine,
                            const VarNameTemplateTable& nameTemplates, int system, const QString& scratchSql,
                            const std::function<bool(const QString&)>& refused = {},
                            const std::function<db::Value(const QString&)>& stored = {}) {
    std::stable_sort(templates.begin(), templates.end(), [](const Record& a, const Record& b) {
      return *db::ToNumber(a.at("id")) < *db::ToNumber(b.at("id"));
    });
    std::vector<std::pair<QString, QString>> calls;  // (old name, new name)
    QString sql = scratchSql;
    int64_t id = 0;
    for (Record record : templates) {
      record["id"] = ++id;
      for (auto& [field, value] : record) {
        if (!db::IsText(value) || field == "id") continue;
        if (field != "var_name") {
          value = db::TextValue(ReplaceSearchItem(db::ToQString(value), "###machine", machine));
          continue;
        }
        QString names[2];
        for (int s = 0; s < 2; ++s) {
          const int part = static_cast<int>(*db::ToNumber(record.at("part")));
          names[s] = ReplaceSearchItem(nameTemplates[s][part - 1], "###Var_Name", db::ToQString(value));
          names[s] = ReplaceSearchItem(names[s], "###machine", machine);
          names[s] = ReplaceSearchItem(names[s], "###machine", machine);
        }
        calls.emplace_back(names[1 - system], names[system]);
        value = db::TextValue(names[system]);
      }
      QStringList values;
      for (const QString& f : kFields) values << Literal(record.at(f.toLower()));
      sql += QStringLiteral("INSERT INTO PRESET_DEFS (%1) VALUES (%2);\n")
                 .arg(kFields.join(','), values.join(','));
    }
    // The generated records as the table stores them.
    const QString scratch = install.root() + QStringLiteral("/model.mdb");
    CreateDatabaseFromSql(scratch, sql.toUtf8());
    std::vector<Record> generated = ReadRecords(scratch, QStringLiteral("PRESET_DEFS"));

    // The calls in order, by their folded old names: each call renames a record whose name it finds when
    // it comes, so a renamed record is found again only by a later call.
    std::map<QString, std::vector<size_t>> callsOfName;
    for (size_t i = 0; i < calls.size(); ++i) callsOfName[calls[i].first.toCaseFolded()].push_back(i);
    for (Record& record : old) {
      if (!db::IsText(record["var_name"])) continue;
      QString name = db::ToQString(record["var_name"]);
      bool renamed = false;
      for (size_t next = 0;;) {
        const auto found = callsOfName.find(name.toCaseFolded());
        if (found == callsOfName.end()) break;
        const auto call = std::lower_bound(found->second.begin(), found->second.end(), next);
        if (call == found->second.end()) break;
        name = calls[*call].second;
        next = *call + 1;
        renamed = true;
      }
      if (!renamed || (refused && refused(name))) continue;
      record["var_name"] = stored ? stored(name) : db::TextValue(name);
    }
    // The first generated record of each key, found by the folded texts and the offset as a number.
    std::map<std::tuple<QString, QString, double>, size_t> firstOfKey;
    for (size_t i = 0; i < generated.size(); ++i) {
      const Record& n = generated[i];
      const std::optional<double> newOffset = db::ToNumber(n.at("offset_or_bitno"));
      if (db::IsNull(n.at("machine_type")) || db::IsNull(n.at("var_name")) || !newOffset) continue;
      firstOfKey.try_emplace({Folded(n.at("machine_type")), Folded(n.at("var_name")), *newOffset}, i);
    }
    for (const Record& o : old) {
      const std::optional<double> offset = db::ToNumber(o.at("offset_or_bitno"));
      if (!offset) continue;
      const auto first = firstOfKey.find({Folded(o.at("machine_type")), Folded(o.at("var_name")), *offset});
      if (first == firstOfKey.end()) continue;
      for (const QString& f : kValueFields) generated[first->second][f] = o.at(f);
    }
    return generated;
  }
};

TEST_F(UpdateEquivalenceTest, GivesTheResultOfTheRecordByRecordUpdate) {
  WriteCfg();
  const std::vector<QString> machines = {"M1", "Füller", "ma'ch"};
  const std::vector<QString> nameTemplates = {"###Var_Name",
                                              "###machine.###Var_Name",
                                              "###MACHINE_###var_name_###Machine_###machine",
                                              "Pre_###Var_Name",
                                              "",
                                              "ä###Var_Name",
                                              "x\"###Var_Name"};
  const std::vector<db::Value> machineTypes = {Text("###machine"), Text("M1"),  Text("m1"),
                                               Text("###MACHINE"), db::Value{}, int64_t{5}};
  const std::vector<db::Value> varNames = {Text("Doc"),  Text("doc"),          Text("Key_###machine"),
                                           Text("A\"B"), Text("x'y"),          Text("Ü"),
                                           Text("ü"),    Text("ı_###machıne"), db::Value{}};
  const std::vector<db::Value> offsets = {int64_t{1}, int64_t{2},  2.0,       -0.0,        int64_t{0},
                                          Text("2"),  Text(" 2 "), Text("x"), db::Value{}, Text("1e0")};
  const std::vector<db::Value> texts = {Text("on ###machine and ###machine"), Text("plain"),
                                        Text("ä ###MACHINE"), db::Value{}, 3.5};
  // Seeds 25 to 28 make large projects, whose old records the takeover sorts in pieces written out when
  // its sort cache is small (SQLite writes no piece of less than about 1 MiB); seeds 29 to 32 keep the
  // old records in a table without row numbers.
  for (unsigned seed = 1; seed <= 32; ++seed) {
    SCOPED_TRACE(seed);
    const bool large = seed >= 25 && seed <= 28;
    Case c(seed);
    const bool studio = seed % 2 == 0;
    Standalone(studio, true);
    const QString machine = c.Pick(machines);
    context->project.machines = QStringList{machine, QStringLiteral("M2")};

    VarNameTemplateTable names;
    QString defs = QStringLiteral(
        "CREATE TABLE Source_DEFS (ID INTEGER, System TEXT(20), Part INTEGER, Var_Name TEXT(255));\n");
    for (int s = 0; s < 2; ++s) {
      for (int part = 1; part <= 3; ++part) {
        names[s][part - 1] = c.Pick(nameTemplates);
        defs += QStringLiteral("INSERT INTO Source_DEFS VALUES (0, '%1', %2, %3);\n")
                    .arg(s == 0 ? "VISIWIN32" : "VISIWINSTUDIO")
                    .arg(part)
                    .arg(Literal(db::TextValue(names[s][part - 1])));
      }
    }

    const QString offsetType = c.Pick(std::vector<QString>{"INTEGER", "TEXT", ""});
    const QStringList sourceOrder = c.FieldOrder();
    const QStringList oldOrder = c.FieldOrder();
    std::vector<Record> templates, old;
    QString source =
        defs +
        QStringLiteral("CREATE TABLE Source_PRESET_DEFS (%1);\n").arg(c.Columns(sourceOrder, offsetType));
    const int count = large ? c.Number(14000, 16000) : c.Number(5, 40);
    std::vector<int> ids(count);
    for (int i = 0; i < count; ++i) ids[i] = i * 3 + 7;
    std::shuffle(ids.begin(), ids.end(), c.random_);
    for (int i = 0; i < count; ++i) {
      Record& r = templates.emplace_back();
      r["id"] = int64_t{ids[i]};
      r["machine_type"] = c.Pick(machineTypes);
      r["part"] = int64_t{c.Number(1, 3)};
      r["var_name"] = c.Pick(varNames);
      // A large project's templates give names of their own, two templates each, as real ones do: the
      // same few names on thousands of templates would make every record a chain of thousands of renames.
      if (large && db::IsText(r["var_name"]))
        r["var_name"] = db::TextValue(db::ToQString(r["var_name"]) + QString::number(i / 2));
      r["offset_or_bitno"] = c.Pick(offsets);
      r["text"] = c.Pick(texts);
      for (const char* f : {"type", "category_id", "isbitarray"}) r[f] = int64_t{c.Number(0, 3)};
      r["page_name"] = Text("Page");
      for (const QString& f : kValueFields) r[f] = int64_t{-1};
      source += c.Insert(QStringLiteral("Source_PRESET_DEFS"), sourceOrder, r);
    }
    CreateDatabaseFromSql(this->source(), source.toUtf8());
    // The records as the template stores them: the model works from them as the update does.
    templates = ReadRecords(this->source(), QStringLiteral("Source_PRESET_DEFS"));

    // Old records: names of either system in changed case (renamed first), names no call gives, and
    // keys that repeat. The old table comes plain, with a unique index, a trigger on the renames, a CHECK
    // that refuses names with a quote, a numeric var_name field, or without row numbers (its records in
    // the order of a primary key of one or two fields, which is not the order they were written in).
    const int makeUp = seed <= 24 ? static_cast<int>(seed % 5)
                       : large    ? std::array{5, 3, 4, 1}[seed - 25]
                                  : 5;
    const QString primaryKey = seed % 2 ? QStringLiteral("ID") : QStringLiteral("type, ID");
    std::vector<int64_t> oldIds(count + 5);
    std::iota(oldIds.begin(), oldIds.end(), 1);
    if (makeUp == 5) std::shuffle(oldIds.begin(), oldIds.end(), c.random_);
    QString oldColumns = c.Columns(oldOrder, offsetType);
    if (makeUp == 3) {
      oldColumns.replace(QStringLiteral("var_name TEXT(255)"),
                         QStringLiteral("var_name TEXT(255) CHECK (instr(var_name, '''') = 0)"));
    }
    if (makeUp == 4)
      oldColumns.replace(QStringLiteral("var_name TEXT(255)"), QStringLiteral("var_name INTEGER"));
    if (makeUp == 5) oldColumns += QStringLiteral(", PRIMARY KEY (%1)").arg(primaryKey);
    QString project = QStringLiteral("CREATE TABLE PRESET_DEFS (%1)%2;\n")
                          .arg(oldColumns, makeUp == 5 ? QStringLiteral(" WITHOUT ROWID") : QString());
    if (makeUp == 1) project += QStringLiteral("CREATE UNIQUE INDEX old_ids ON PRESET_DEFS (ID);\n");
    if (makeUp == 2) {
      project += QStringLiteral(
          "CREATE TABLE renamed (name); CREATE TRIGGER renames AFTER UPDATE OF var_name ON PRESET_DEFS "
          "BEGIN INSERT INTO renamed VALUES (new.var_name); END;\n");
    }
    const std::vector<Record> generated =
        Model(templates, {}, machine, names, studio ? 1 : 0,
              QStringLiteral("CREATE TABLE PRESET_DEFS (%1);\n").arg(c.Columns(kFields, offsetType)));
    for (int i = 0; i < count + 5; ++i) {
      Record r = c.Pick(generated);
      const int way = c.Number(0, 4);
      QString name = db::ToQString(r["var_name"]);
      if (way == 0) name = name.toUpper();
      if (way == 1) name = ReplaceSearchItem(name, machine + ".", QString());  // the other system's name
      if (way == 2) name = machine + QStringLiteral(".") + name;
      if (way == 3) r["machine_type"] = db::TextValue(db::ToQString(r["machine_type"]).toLower());
      if (!db::IsNull(r["var_name"])) r["var_name"] = db::TextValue(name);
      if (c.Number(0, 5) == 0) r["offset_or_bitno"] = c.Pick(offsets);
      for (const QString& f : kValueFields) r[f] = int64_t{c.Number(100, 999)};
      if (makeUp == 1 || makeUp == 5) r["id"] = oldIds[i];
      if (makeUp == 3 && db::ToQString(r["var_name"]).contains(QLatin1Char('\''))) r["var_name"] = Text("q");
      project += c.Insert(QStringLiteral("PRESET_DEFS"), oldOrder, r);
    }
    CreateDatabaseFromSql(this->project(), project.toUtf8());
    old = ReadRecords(this->project(), QStringLiteral("PRESET_DEFS"),
                      makeUp == 5 ? primaryKey : QStringLiteral("rowid"));

    bool anyRefused = false;
    const auto refused = [&](const QString& name) {
      const bool refuses = makeUp == 3 && name.contains(QLatin1Char('\''));
      anyRefused = anyRefused || refuses;
      return refuses;
    };
    // A name as the numeric field stores it: SQLite's own conversion, in a table of that make-up.
    const QString scratch = install.root() + QStringLiteral("/affinity.mdb");
    CreateDatabaseFromSql(scratch, "CREATE TABLE t (v INTEGER);");
    db::Connection affinity = db::Connection::Open(scratch);
    const db::Transaction affinityTrials(affinity);  // no sync for each trial; rolled back at the end
    const auto stored = [&](const QString& name) {
      affinity.Exec(QStringLiteral("DELETE FROM t"));
      db::Statement insert = affinity.Prepare(QStringLiteral("INSERT INTO t VALUES (?1)"));
      insert.BindText(1, name);
      insert.Step();
      db::Statement read = affinity.Prepare(QStringLiteral("SELECT v FROM t"));
      read.Step();
      return read.Column(0);
    };
    const std::vector<Record> expected =
        Model(templates, old, machine, names, studio ? 1 : 0,
              QStringLiteral("CREATE TABLE PRESET_DEFS (%1);\n").arg(c.Columns(sourceOrder, offsetType)),
              refused, makeUp == 4 ? std::function<db::Value(const QString&)>(stored) : nullptr);
    // A large project is updated twice from the same files: with the program's sort cache, which sorts
    // its old records in memory, and with one so small that the sort is written out in pieces.
    const int programSortKiB = UpdateRun(*context).takeoverSortKiB;
    const std::vector<int> sortCaches{programSortKiB, 8};
    const QString sourceCopy = install.root() + QStringLiteral("/source.copy");
    const QString projectCopy = install.root() + QStringLiteral("/project.copy");
    if (large) {
      QFile::remove(sourceCopy);
      QFile::remove(projectCopy);
      ASSERT_TRUE(QFile::copy(this->source(), sourceCopy) && QFile::copy(this->project(), projectCopy));
    }
    for (size_t s = 0; s < (large ? sortCaches.size() : 1); ++s) {
      SCOPED_TRACE(sortCaches[s]);
      if (s > 0) {
        for (const auto& [from, to] :
             {std::pair{sourceCopy, this->source()}, std::pair{projectCopy, this->project()}}) {
          ASSERT_TRUE(QFile::remove(to) && QFile::copy(from, to));
        }
        Standalone(studio, true);
        context->project.machines = QStringList{machine, QStringLiteral("M2")};
      }
      Run().takeoverSortKiB = sortCaches[s];
      const SortFileCounter sortFiles;
      ::WorkOnMDB(Run());
      // The large path is the one taken: the sort wrote pieces out, with the small cache only.
      if (large) {
        EXPECT_EQ(sortFiles.Files() > 0, s > 0) << sortFiles.Files() << " sort files";
      }
      // Only a refused rename is reported.
      EXPECT_EQ(AnyErrorHandled(), anyRefused) << ReadFile(install.errorLog()).toStdString();
      const std::vector<Record> actual = ReadRecords(this->source(), QStringLiteral("PRESET_DEFS"));
      ASSERT_EQ(actual.size(), expected.size());
      for (size_t i = 0; i < actual.size(); ++i) {
        for (const QString& f : kFields) {
          EXPECT_EQ(Shown(actual[i].at(f.toLower())), Shown(expected[i].at(f.toLower())))
              << "record " << i + 1 << " field " << f.toStdString();
        }
      }
    }
  }
}
