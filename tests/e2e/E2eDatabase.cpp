#include "tests/e2e/E2eDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

const char* const kE2ePresetFields =
    "ID INTEGER, machine_type TEXT(50), type INTEGER, part INTEGER, var_name TEXT(255), category_id INTEGER, "
    "isBitArray INTEGER, offset_or_bitno INTEGER, text TEXT(255), page_name TEXT(50), abs_min DOUBLE, "
    "abs_max DOUBLE, min DOUBLE, max DOUBLE, pass INTEGER";

namespace {

// One open database, closed on every way out.
class Db {
 public:
  Db(const QString& path, int flags) {
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, flags, nullptr) != SQLITE_OK) {
      error_ = Message();
    }
  }
  ~Db() { sqlite3_close_v2(db_); }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  QString Message() const {
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("no memory");
  }
  const QString& error() const { return error_; }

  QString Exec(const QByteArray& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK) return {};
    const QString text = QString::fromUtf8(message ? message : "error");
    sqlite3_free(message);
    return text;
  }

  QStringList Rows(const QString& sql) {
    if (!error_.isEmpty()) return {QStringLiteral("ERROR: ") + error_};
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
      sqlite3_finalize(stmt);
      return {QStringLiteral("ERROR: ") + Message()};
    }
    QStringList rows;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      QStringList columns;
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        columns << (value ? QString::fromUtf8(value, sqlite3_column_bytes(stmt, i)) : QStringLiteral("NULL"));
      }
      rows << columns.join(QLatin1Char('|'));
    }
    if (rc != SQLITE_DONE) rows << QStringLiteral("ERROR: ") + Message();
    sqlite3_finalize(stmt);
    return rows;
  }

 private:
  sqlite3* db_ = nullptr;
  QString error_;
};

}  // namespace

QString MakeDatabase(const QString& path, const QByteArray& sql) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile::remove(path);
  QFile::remove(path + QStringLiteral("-journal"));
  Db db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  if (!db.error().isEmpty()) return db.error();
  return db.Exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF; BEGIN; " + sql + "; COMMIT;");
}

QStringList QueryRows(const QString& path, const QString& sql) {
  if (!QFile::exists(path)) return {QStringLiteral("ERROR: no file ") + path};
  Db db(path, SQLITE_OPEN_READONLY);
  return db.Rows(sql);
}

QStringList DatabaseContent(const QString& path) {
  QStringList content;
  const QStringList tables =
      QueryRows(path, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
  for (const QString& table : tables) {
    if (table.startsWith(QLatin1String("ERROR: "))) return {table};
    content << QueryRows(path, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = '%1'").arg(table));
    QString quoted = table;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    content << QueryRows(path, QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(quoted));
  }
  return content;
}

QString IntegrityCheck(const QString& path) {
  if (!QFile::exists(path)) return QStringLiteral("no file");
  // Read-write, so that a journal left by an interrupted writer is rolled back as any reader would.
  Db db(path, SQLITE_OPEN_READWRITE);
  return db.Rows(QStringLiteral("PRAGMA integrity_check")).join(QLatin1Char('\n'));
}

QByteArray SourceDatabaseSql(const QString& templateRows) {
  QString sql = QStringLiteral(
      "CREATE TABLE Source_DEFS (ID INTEGER, System TEXT(20), Part INTEGER, Var_Name TEXT(255));\n"
      "INSERT INTO Source_DEFS VALUES (1, 'VISIWIN32', 1, '###Var_Name'), "
      "(2, 'VISIWINSTUDIO', 1, '###machine.###Var_Name');\n");
  sql += QStringLiteral("CREATE TABLE Source_PRESET_DEFS (%1);\n").arg(QLatin1String(kE2ePresetFields));
  sql += templateRows;
  sql += QStringLiteral("CREATE TABLE PRESET_DEFS (%1);\n").arg(QLatin1String(kE2ePresetFields));
  return sql.toUtf8();
}

QByteArray ProjectDatabaseSql(const QString& presetRows) {
  return (QStringLiteral("CREATE TABLE PRESET_DEFS (%1);\n").arg(QLatin1String(kE2ePresetFields)) +
          presetRows)
      .toUtf8();
}

QString GeneratedRows(const QString& table, int count, const QString& machine, bool templates) {
  const QString values = templates ? QStringLiteral(
                                         "i, '###machine', 1, 1, 'Var' || i, 7, 0, i, 'Text of ###machine', "
                                         "'Page', 0, 100, 0, 100, 1")
                                   : QStringLiteral(
                                         "i, '%1', 1, 1, 'Var' || i, 7, 0, i, 'old', 'Page', i, i + 1, "
                                         "i + 2, i + 3, i + 4")
                                         .arg(machine);
  return QStringLiteral(
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
             "INSERT INTO %2 SELECT %3 FROM n;\n")
      .arg(count)
      .arg(table, values);
}

QString CopyInTheMiddleOfATransaction(const QString& path, const QByteArray& statement,
                                      const QString& crashedPath) {
  Db db(path, SQLITE_OPEN_READWRITE);
  if (!db.error().isEmpty()) return db.error();
  // A cache of a few pages makes the transaction write its changes into the file before it ends.
  QString error = db.Exec("PRAGMA journal_mode=DELETE; PRAGMA cache_size=2; BEGIN; " + statement);
  if (!error.isEmpty()) return error;
  const QString journal = path + QStringLiteral("-journal");
  if (!QFile::exists(journal)) return QStringLiteral("no journal while the transaction is open");
  QFile::remove(crashedPath);
  QFile::remove(crashedPath + QStringLiteral("-journal"));
  if (!QFile::copy(path, crashedPath) || !QFile::copy(journal, crashedPath + QStringLiteral("-journal"))) {
    return QStringLiteral("copy failed");
  }
  return db.Exec("ROLLBACK");
}

ReadLock::ReadLock(const QString& path) {
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    return;
  // A read inside an open transaction keeps the shared lock until the transaction ends.
  held_ =
      sqlite3_exec(db_, "BEGIN; SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr) == SQLITE_OK;
}

ReadLock::~ReadLock() {
  sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close_v2(db_);
}
