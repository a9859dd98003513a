#include "presets/benchmark/BenchmarkProject.h"

#include "presets/Database.h"
#include "presets/DatabaseScript.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

const char* const kBenchmarkFields =
    "ID INTEGER, machine_type TEXT(50), type INTEGER, part INTEGER, var_name TEXT(255), category_id INTEGER, "
    "isBitArray INTEGER, offset_or_bitno INTEGER, text TEXT(255), page_name TEXT(50), abs_min DOUBLE, "
    "abs_max DOUBLE, min DOUBLE, max DOUBLE, pass INTEGER";

namespace {

// Template records 1..n (IDs permuted, so the update has to sort), both systems' name templates for two
// parts, and a stale PRESET_DEFS. With resolved = true the template already holds the resolved keys (for
// the floor, which resolves nothing).
QByteArray SourceSql(int n, bool resolved) {
  const QString machine = resolved ? QStringLiteral("'M1'") : QStringLiteral("'###machine'");
  const QString varName = resolved ? QStringLiteral(
                                         "CASE WHEN i % 2 = 0 THEN 'Var' || i || '_M1' "
                                         "ELSE 'M1_Var' || i || '_M1' END")
                                   : QStringLiteral("'Var' || i || '_###machine'");
  return QStringLiteral(
             "CREATE TABLE Source_DEFS (ID INTEGER, System TEXT(20), Part INTEGER, Var_Name TEXT(255));"
             "INSERT INTO Source_DEFS VALUES (1, 'VISIWIN32', 1, '###Var_Name'), "
             "(2, 'VISIWIN32', 2, '###machine_###Var_Name'), (3, 'VISIWINSTUDIO', 1, "
             "'###machine.###Var_Name'), (4, 'VISIWINSTUDIO', 2, '###machine.Docu.###Var_Name');"
             "CREATE TABLE Source_PRESET_DEFS (%1);"
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
             "INSERT INTO Source_PRESET_DEFS SELECT (i * 7919) % %2 + 1, %3, 1, 1 + (i % 2), %4, i % 10, 0, "
             "i, "
             "'Text of ' || i || ' on ###machine', 'Page' || (i % 20), 0, 100, 0, 100, 1 FROM n;"
             "CREATE TABLE PRESET_DEFS (%1);"
             "INSERT INTO PRESET_DEFS SELECT * FROM Source_PRESET_DEFS;")
      .arg(QLatin1String(kBenchmarkFields))
      .arg(n)
      .arg(machine, varName)
      .toUtf8();
}

// The project database: the same tables and n old records that all match a generated record. Half of
// them carry the other system's name (renamed before the takeover), a quarter differ in case.
QByteArray ProjectSql(int n, bool resolved) {
  const QString varName =
      resolved ? QStringLiteral(
                     "CASE WHEN i % 4 = 0 THEN 'var' || i || '_m1' WHEN i % 2 = 0 THEN 'Var' || i || '_M1' "
                     "ELSE 'M1_Var' || i || '_M1' END")
               : QStringLiteral(
                     "CASE WHEN i % 4 = 0 THEN 'var' || i || '_m1' WHEN i % 2 = 0 THEN 'Var' || i || '_M1' "
                     "ELSE 'M1.Docu.Var' || i || '_M1' END");
  return SourceSql(n, resolved) +
         QStringLiteral(
             "DELETE FROM PRESET_DEFS;"
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
             "INSERT INTO PRESET_DEFS SELECT i, 'm1', 1, 1 + (i % 2), %2, i % 10, 0, i, "
             "'old', 'Page', 5, 200, 10, 150, 4 FROM n;")
             .arg(n)
             .arg(varName)
             .toUtf8();
}

void WriteText(const QString& path, const QByteArray& text) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
    throw std::runtime_error("cannot write " + path.toStdString());
  }
}

void CopyOver(const QString& from, const QString& to) {
  QFile::remove(to);
  QFile::remove(to + QStringLiteral("-journal"));
  if (!QFile::copy(from, to)) throw std::runtime_error("cannot copy " + from.toStdString());
}

QString Pristine(const QString& folder, const char* name) {
  return folder + QStringLiteral("/pristine/") + QLatin1String(name);
}

}  // namespace

BenchmarkProject::BenchmarkProject(const QString& folder, int n, const QString& program)
    : folder_(folder), n_(n) {
  for (const char* sub :
       {"/install/program", "/install/Documentation", "/install/parameter", "/pristine", "/floor"}) {
    QDir().mkpath(folder_ + QLatin1String(sub));
  }
  WriteText(base() + QStringLiteral("/Documentation/Documentation.cfg"), "[Project]\r\nForMachine1=TRUE\r\n");
  WriteText(base() + QStringLiteral("/parameter/Program.ini"),
            "[Project]\r\nNumberOfMachines=1\r\nVWStudio=FALSE\r\n[Machine1]\r\nMachineName=M1\r\n");
  if (!program.isEmpty()) {
    CopyOver(program, this->program());
    QFile::setPermissions(this->program(), QFile::permissions(program));
  }
  CreateDatabaseFromSql(Pristine(folder_, "source.mdb"), SourceSql(n, false));
  CreateDatabaseFromSql(Pristine(folder_, "project.mdb"), ProjectSql(n, false));
  CreateDatabaseFromSql(Pristine(folder_, "floor_source.mdb"), SourceSql(n, true));
  CreateDatabaseFromSql(Pristine(folder_, "floor_project.mdb"), ProjectSql(n, true));
  Restore();
  RestoreFloor();
}

void BenchmarkProject::Restore() const {
  CopyOver(Pristine(folder_, "source.mdb"), source());
  CopyOver(Pristine(folder_, "project.mdb"), project());
}

void BenchmarkProject::RestoreFloor() const {
  CopyOver(Pristine(folder_, "floor_source.mdb"), floorSource());
  CopyOver(Pristine(folder_, "floor_project.mdb"), floorProject());
}

int64_t BenchmarkProject::TakenOver(const QString& database) {
  db::Connection connection = db::Connection::Open(database);
  db::Statement count = connection.Prepare(QStringLiteral("SELECT count(*) FROM PRESET_DEFS WHERE pass = 4"));
  count.Step();
  return count.ColumnInt(0);
}
