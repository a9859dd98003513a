#pragma once
// The working copy of the database whose values an update takes over.

#include "framework/ErrorTrap.h"

#include <QString>

// Makes a copy of the database whose values are taken over (when there is one) at copyPath (beside the
// project database, or in a dry run's scratch folder), for the renames and the takeover, and removes it
// when the update ends, however it ends. The project database itself (and the machine copy) is never
// changed in place. Without a copyPath (no project database is named) no copy is made.
class WorkingCopy {
 public:
  // held: the project database as the update holds it, when the values come from it; the copy is then
  // made through SQLite, so that it holds what a log or a hot journal holds.
  WorkingCopy(Trap& trap, const QString& takeoverPath, const QString& copyPath,
              class ProjectDatabaseHold* held);
  ~WorkingCopy();
  WorkingCopy(const WorkingCopy&) = delete;
  WorkingCopy& operator=(const WorkingCopy&) = delete;

  // The copy the renames change and the takeover reads; empty when there is none.
  const QString& Copy() const { return copy_; }
  // The database the takeover reads: the working copy, or the project database when no copy was made.
  QString Path(const QString& projectPath) const { return copy_.isEmpty() ? projectPath : copy_; }

 private:
  QString made_;  // the copy on disk, also when it could not be completed
  QString copy_;  // the copy once it is complete
};
