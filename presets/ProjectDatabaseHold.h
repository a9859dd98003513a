#pragma once
// The project database as the update holds it: read and written through SQLite only, never behind its
// back, so that other programs that open the same file (an HMI runtime, a service tool) lose nothing.
//
// From the moment the hold is taken until it ends, other programs may read the project database but no
// other program can commit to it: its commit fails as busy for that program, never succeeds to be
// overwritten afterwards. The values are read from a consistent copy made through SQLite (it holds what
// a write-ahead log or a hot journal held), and the new content is written into the file itself through
// SQLite, so the file keeps its inode, links, mode and owner, and no stale log is left to be replayed.

#include "presets/Database.h"

#include <QString>

#include <optional>

class ProjectDatabaseHold {
 public:
  // Opens the project database and takes the hold. A database in write-ahead-log mode is first turned
  // back into rollback-journal mode (its log goes into the file); that needs that no other program has
  // it open. Raises error 75 naming the file and the reason when the hold cannot be taken.
  explicit ProjectDatabaseHold(const QString& path);
  // Whether the file at path can be held: false when it is no SQLite database at all (no other program
  // can be using it as one, so it is replaced as a file).
  static bool CanHold(const QString& path);

  const QString& Path() const { return path_; }

  // A consistent copy of the held database into the file at target (whatever is there is replaced). A
  // throwaway copy skips the syncs; a kept one is synced to the disk before it is complete.
  enum class Copy { Throwaway, Kept };
  void CopyTo(const QString& target, Copy kind);

  // Replaces the held database's whole content with the source database's, in one transaction of the
  // held connection: a crash leaves the old content (SQLite rolls its journal back), a failure too.
  // Raises error 75 naming the file and the reason.
  void ReplaceWith(const QString& sourcePath);

 private:
  QString path_;
  db::Connection connection_;
};

namespace db {
// Copies the whole content of one open database into another through SQLite's backup, in one step.
// Raises with SQLite's reason.
void CopyDatabase(Connection& from, Connection& to);
}  // namespace db
