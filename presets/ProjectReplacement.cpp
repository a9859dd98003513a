#include "presets/ProjectReplacement.h"

#include "framework/ErrorTrap.h"
#include "presets/Database.h"
#include "presets/FileOps.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <memory>
#include <optional>

namespace {

// How long a write of another program may take before the update gives up on the project database.
constexpr int kWriterWaitMs = 3000;

bool IsBusy(const AppError& error) {
  const int primary = error.number & 0xff;
  return error.source == QStringLiteral("SQLite") && (primary == SQLITE_BUSY || primary == SQLITE_LOCKED);
}

// The project database's write lock: a write transaction that writes nothing and ends (rolled back)
// when the lock is released.
struct WriteLock {
  std::unique_ptr<db::Connection> connection;
  std::optional<db::Transaction> transaction;
};

// Holds the project database's write lock, so no other program can begin a write while the file is
// replaced. None when the file is no database (it is replaced all the same).
std::optional<WriteLock> LockAgainstWriters(const QString& projectPath) {
  if (!QFileInfo::exists(projectPath)) return std::nullopt;
  try {
    WriteLock lock;
    lock.connection =
        std::make_unique<db::Connection>(db::Connection::OpenLockHolder(projectPath, kWriterWaitMs));
    lock.transaction.emplace(*lock.connection);
    return lock;
  } catch (const AppError& e) {
    if (!IsBusy(e)) return std::nullopt;
    Raise(kErrFileAccess,
          QStringLiteral("The project database is being written by another program and was not "
                         "replaced: ") +
              projectPath);
  }
}

}  // namespace

void ReplaceProjectDatabase(const QString& sourcePath, const QString& projectPath) {
  const std::optional<WriteLock> writeLock = LockAgainstWriters(projectPath);
  CopyFileAtomically(sourcePath, projectPath);
}
