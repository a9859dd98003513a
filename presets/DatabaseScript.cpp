#include "presets/DatabaseScript.h"

#include "presets/Database.h"

void CreateDatabaseFromSql(const QString& path, const QByteArray& sql) {
  db::Connection connection = db::Connection::CreateForScript(path);
  connection.Exec(QString::fromUtf8(sql));
}
