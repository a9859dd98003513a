#include "presets/DatabaseScript.h"

#include "presets/Database.h"

void CreateDatabaseFromSql(const QString& path, const QByteArray& sql) {
  db::Connection connection = db::Connection::Create(path);
  // A file being made from scratch needs no sync after every statement of the script.
  connection.Exec(QStringLiteral("PRAGMA synchronous=OFF"));
  connection.Exec(QString::fromUtf8(sql));
}
