#include "presets/ProjectDatabaseHold.h"

#include "framework/ErrorTrap.h"

#include <QFile>

#include <sqlite3.h>

namespace {

// How long the update waits for another program's read or write to end before it gives up.
constexpr int kOtherProgramWaitMs = 3000;

bool IsBusy(const AppError& error) {
  const int primary = error.number & 0xff;
  return error.source == QStringLiteral("SQLite") && (primary == SQLITE_BUSY || primary == SQLITE_LOCKED);
}

// The reason of a failed step on the project database, for the message: busy means another program.
QString Reason(const AppError& error) {
  if (IsBusy(error)) return QStringLiteral("it is in use by another program (%1)").arg(error.description);
  return error.description;
}

db::Connection OpenHeld(const QString& path) {
  try {
    // A log that another program left (or still writes) is taken into the file first. The connection
    // keeps every lock it takes until it is closed: one read takes the shared lock, which lets other
    // programs read but keeps them from committing.
    db::Connection connection = db::Connection::OpenToHold(path, kOtherProgramWaitMs);
    connection.Exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    return connection;
  } catch (const AppError& e) {
    Raise(kErrFileAccess,
          QStringLiteral("The project database cannot be updated, %1: %2").arg(Reason(e), path));
  }
}

}  // namespace

namespace db {

void CopyDatabase(Connection& from, Connection& to) {
  sqlite3_backup* backup = sqlite3_backup_init(to.Handle(), "main", from.Handle(), "main");
  if (!backup) ThrowSqliteError(to.Handle());
  const int stepped = sqlite3_backup_step(backup, -1);
  const int finished = sqlite3_backup_finish(backup);
  if (stepped != SQLITE_DONE || finished != SQLITE_OK) ThrowSqliteError(to.Handle());
}

}  // namespace db

ProjectDatabaseHold::ProjectDatabaseHold(const QString& path) : path_(path), connection_(OpenHeld(path)) {}

bool ProjectDatabaseHold::CanHold(const QString& path) {
  // Every SQLite database starts with this header; an empty file is an empty database.
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    const QByteArray start = file.read(16);
    return start.isEmpty() || start == QByteArrayLiteral("SQLite format 3\0");
  }
  return true;
}

void ProjectDatabaseHold::CopyTo(const QString& target, Copy kind) {
  QFile::remove(target);
  QFile::remove(target + QStringLiteral("-journal"));
  db::Connection copy = kind == Copy::Throwaway ? db::Connection::CreateThrowawayCopy(target)
                                                : db::Connection::CreateKeptCopy(target);
  db::CopyDatabase(connection_, copy);
}

void ProjectDatabaseHold::ReplaceWith(const QString& sourcePath) {
  try {
    db::Connection source = db::Connection::OpenAsIs(sourcePath, kOtherProgramWaitMs);
    db::CopyDatabase(source, connection_);
  } catch (const AppError& e) {
    Raise(kErrFileAccess,
          QStringLiteral("The project database was not replaced, %1: %2").arg(Reason(e), path_));
  }
}
