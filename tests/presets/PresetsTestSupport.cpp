#include "tests/presets/PresetsTestSupport.h"

#include "framework/Installation.h"
#include "presets/Database.h"
#include "presets/RecordSets.h"
#include "presets/Takeover.h"
#include "presets/WorkOnMdb.h"

#include <QFile>

const char* const kPresetFields =
    "ID INTEGER, machine_type TEXT(50), type INTEGER, part INTEGER, var_name TEXT(255), category_id INTEGER, "
    "isBitArray INTEGER, offset_or_bitno INTEGER, text TEXT(255), page_name TEXT(50), abs_min DOUBLE, "
    "abs_max DOUBLE, min DOUBLE, max DOUBLE, pass INTEGER";

QByteArray SourceSql(const std::vector<TemplateRecord>& records, const QString& defsRows) {
  QString sql = QStringLiteral(
      "CREATE TABLE Source_DEFS (ID INTEGER, System TEXT(20), Part INTEGER, Var_Name TEXT(255));\n");
  sql += defsRows.isEmpty() ? QStringLiteral(
                                  "INSERT INTO Source_DEFS VALUES (1, 'VISIWIN32', 1, '###Var_Name'), "
                                  "(2, 'VISIWINSTUDIO', 1, '###machine.###Var_Name');\n")
                            : defsRows;
  sql += QStringLiteral("CREATE TABLE Source_PRESET_DEFS (%1);\n").arg(QLatin1String(kPresetFields));
  for (const TemplateRecord& r : records) {
    sql += QStringLiteral(
               "INSERT INTO Source_PRESET_DEFS VALUES (%1, '%2', 1, %3, '%4', 7, 0, %5, %6, 'Page', "
               "-1, 1, -1, 1, 0);\n")
               .arg(r.id)
               .arg(r.machine, r.part, r.varName)
               .arg(r.offset)
               .arg(r.text);
  }
  sql += QStringLiteral("CREATE TABLE PRESET_DEFS (%1);\n").arg(QLatin1String(kPresetFields));
  return sql.toUtf8();
}

QString OldRow(const QString& machine, const QString& varName, int offset, int base) {
  return QStringLiteral(
             "INSERT INTO PRESET_DEFS VALUES (1, '%1', 1, 1, '%2', 7, 0, %3, 'old', 'Page', %4, %5, %6, "
             "%7, %8);\n")
      .arg(machine, varName)
      .arg(offset)
      .arg(base)
      .arg(base + 1)
      .arg(base + 2)
      .arg(base + 3)
      .arg(base + 4);
}

QStringList Rows(const QString& path, const QString& sql) {
  QStringList rows;
  db::Connection connection = db::Connection::Open(path);
  db::Statement query = connection.Prepare(sql);
  while (query.Step()) {
    QStringList columns;
    for (int i = 0; i < query.ColumnCount(); ++i) {
      columns << (query.ColumnIsNull(i) ? QStringLiteral("NULL") : query.ColumnText(i));
    }
    rows << columns.join(QLatin1Char('|'));
  }
  return rows;
}

QStringList Content(const QString& path) {
  QStringList content = Rows(path, QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name"));
  for (const QString& table :
       Rows(path, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"))) {
    content << Rows(path, QStringLiteral("SELECT * FROM %1").arg(db::Quote(table)));
  }
  return content;
}

QStringList LogLines(const QString& path) {
  return QString::fromLatin1(ReadFile(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

void PresetsTest::WriteCfg(const QString& extraLines) {
  WriteFile(install.cfg(), (QStringLiteral("[Project]\r\nForMachine1=TRUE\r\n") + extraLines).toLatin1());
}

void PresetsTest::Standalone(bool studio, bool silent) {
  WriteFile(install.programIni(), QStringLiteral("[Project]\r\nVWStudio=%1\r\n")
                                      .arg(studio ? QStringLiteral("TRUE") : QStringLiteral("FALSE"))
                                      .toLatin1());
  run.reset();
  context = install.Context(port, silent ? QStringLiteral("EXTERNAL=SILENT") : QString());
  context->files.programIni = install.programIni();
  context->project.machines = QStringList{QStringLiteral("M1"), QStringLiteral("M2")};
}

void PresetsTest::Integrated(const QString& validMachines) {
  WriteFile(
      install.hostIni(),
      QStringLiteral("[Common]\r\nSaveAndRestore=%1/sar\r\nNameM1=M1\r\n").arg(install.root()).toLocal8Bit());
  WriteCfg(QStringLiteral("ValidMachines=%1\r\n").arg(validMachines));
  run.reset();
  context = install.Context(port, QStringLiteral("EXTERNAL=QVZCFG /LOGFILE=%1/log.txt").arg(install.root()));
  context->files.hostIni = install.hostIni();
  context->project.machines = QStringList{QStringLiteral("M1")};
}

ProjectContext& PresetsTest::Context() {
  if (!context) Standalone();
  if (QFile::exists(install.cfg())) ReadProjectConfiguration(*context);
  return *context;
}

UpdateRun& PresetsTest::Run() {
  ProjectContext& current = Context();
  if (!run) run = std::make_unique<UpdateRun>(current);
  return *run;
}

void PresetsTest::WorkOnMDB() {
  ::WorkOnMDB(Context());
}

void PresetsTest::CreateRecordSets(db::Connection& database) {
  GenerationResult generation = ::CreateRecordSets(Run(), database, workingCopy());
  if (generation.renames) ::VarNamesInQuelleErsetzen(Run(), *generation.renames);
}

TakeoverResult PresetsTest::TakeoverMachineCopyMDBData(db::Connection& database, db::Connection& project,
                                                       const QString& oldTable,
                                                       const UnmatchedRecordVisitor& unmatched) {
  return ::TakeoverMachineCopyMDBData(Run(), database, project, oldTable, unmatched);
}
