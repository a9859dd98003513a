#pragma once
// Creates database files from SQL text (the demo databases, tests and the benchmark).

#include <QByteArray>
#include <QString>

// Creates a fresh database file at path (an existing file is replaced) and runs the SQL text in it.
// Raises the SQLite error of the first failing statement.
void CreateDatabaseFromSql(const QString& path, const QByteArray& sql);
