// The update against a plain record-by-record model of it, on generated projects: names and keys in
// mixed case and with non-ASCII letters, duplicate keys, Null keys, offsets held as text, rename chains,
// quotes, and the fields of both tables in changing orders.
#include "presets/Database.h"
#include "presets/DatabaseScript.h"
#include "presets/Placeholders.h"
#include "tests/presets/PresetsTestSupport.h"

#include <algorithm>
#include <map>
#include <random>

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

std::vector<Record> ReadRecords(const QString& path, const QString& table) {
  db::Connection connection = db::Connection::Open(path);
  db::Statement rows = connection.Prepare(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
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

}  // namespace

class UpdateEquivalenceTest : public PresetsTest {
 protected:
  // The model: generation in template ID order, each call's renames over the old records in call order,
  // then each old record in table order gives its values to the first new record of its key.
  std::vector<Record> Model(std::vector<Record> templates, std::vector<Record> old, const QString& machine,
                            const VarNameTemplateTable& nameTemplates, int system,
                            const QString& scratchSql) {
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

    for (const auto& [from, to] : calls) {
      for (Record& record : old) {
        if (db::IsText(record["var_name"]) && Folded(record["var_name"]) == from.toCaseFolded()) {
          record["var_name"] = db::TextValue(to);
        }
      }
    }
    for (const Record& o : old) {
      const std::optional<double> offset = db::ToNumber(o.at("offset_or_bitno"));
      if (!offset) continue;
      for (Record& n : generated) {
        const std::optional<double> newOffset = db::ToNumber(n.at("offset_or_bitno"));
        if (db::IsNull(n.at("machine_type")) || db::IsNull(n.at("var_name")) || !newOffset) continue;
        if (Folded(n.at("machine_type")) != Folded(o.at("machine_type")) ||
            Folded(n.at("var_name")) != Folded(o.at("var_name")) || *newOffset != *offset) {
          continue;
        }
        for (const QString& f : kValueFields) n[f] = o.at(f);
        break;
      }
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
  for (unsigned seed = 1; seed <= 24; ++seed) {
    SCOPED_TRACE(seed);
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
    const int count = c.Number(5, 40);
    std::vector<int> ids(count);
    for (int i = 0; i < count; ++i) ids[i] = i * 3 + 7;
    std::shuffle(ids.begin(), ids.end(), c.random_);
    for (int i = 0; i < count; ++i) {
      Record& r = templates.emplace_back();
      r["id"] = int64_t{ids[i]};
      r["machine_type"] = c.Pick(machineTypes);
      r["part"] = int64_t{c.Number(1, 3)};
      r["var_name"] = c.Pick(varNames);
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
    // keys that repeat.
    QString project = QStringLiteral("CREATE TABLE PRESET_DEFS (%1);\n").arg(c.Columns(oldOrder, offsetType));
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
      project += c.Insert(QStringLiteral("PRESET_DEFS"), oldOrder, r);
    }
    CreateDatabaseFromSql(this->project(), project.toUtf8());
    old = ReadRecords(this->project(), QStringLiteral("PRESET_DEFS"));

    const std::vector<Record> expected =
        Model(templates, old, machine, names, studio ? 1 : 0,
              QStringLiteral("CREATE TABLE PRESET_DEFS (%1);\n").arg(c.Columns(sourceOrder, offsetType)));
    WorkOnMDB();
    EXPECT_FALSE(AnyErrorHandled()) << ReadFile(install.errorLog()).toStdString();
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
