#pragma once
// Database files for the end-to-end runs: built from SQL text and looked at with plain SQLite, apart
// from the program's own database layer.

#include <QByteArray>
#include <QString>
#include <QStringList>

// The preset table's fields as the project's templates declare them (15 fields, part before var_name).
extern const char* const kE2ePresetFields;

// Creates the database file afresh from the SQL text; returns SQLite's error message, empty on success.
QString MakeDatabase(const QString& path, const QByteArray& sql);

// Every row of a query as text ("NULL" for Null), columns joined with "|". The file is opened read-only;
// a failure gives one row "ERROR: <message>".
QStringList QueryRows(const QString& path, const QString& sql);

// The whole content of a database: every table's statement and its rows in rowid order.
QStringList DatabaseContent(const QString& path);

// The result of PRAGMA integrity_check ("ok" for a sound file).
QString IntegrityCheck(const QString& path);

// SQL of a source database: name templates of both systems (part 1: the plain variable name resp.
// machine.variable), the templates given as SQL rows of Source_PRESET_DEFS, and an old PRESET_DEFS.
QByteArray SourceDatabaseSql(const QString& templateRows);
// SQL of a project database whose PRESET_DEFS holds the given rows.
QByteArray ProjectDatabaseSql(const QString& presetRows);
// SQL that fills table `table` with `count` generated preset rows for the machine: var_name Var<i>,
// offset i, abs_min i, abs_max i + 1, min i + 2, max i + 3, pass i + 4 (or the template's values when
// `templates` is true: machine_type ###machine, text with the placeholder, values 0, 100, 0, 100, 1).
QString GeneratedRows(const QString& table, int count, const QString& machine, bool templates);

// Leaves the database as a writer that crashed in the middle of a transaction leaves it: the statement
// runs in a transaction whose changed pages reach the file, the file and its rollback journal are copied
// to `crashedPath` (and its "-journal"), and the transaction is rolled back. Empty on success.
QString CopyInTheMiddleOfATransaction(const QString& path, const QByteArray& statement,
                                      const QString& crashedPath);

// Holds a read transaction on a database while it lives, as another program reading the file would: a
// writer then cannot commit.
class ReadLock {
 public:
  explicit ReadLock(const QString& path);
  ~ReadLock();
  ReadLock(const ReadLock&) = delete;
  ReadLock& operator=(const ReadLock&) = delete;
  bool held() const { return held_; }

 private:
  struct sqlite3* db_ = nullptr;
  bool held_ = false;
};
