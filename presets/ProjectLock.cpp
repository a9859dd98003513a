#include "presets/ProjectLock.h"

#include "framework/ErrorTrap.h"

#include <QFileInfo>

void LockProject(std::optional<RunLock>& lock, std::chrono::milliseconds wait, const QString& projectPath) {
  lock.emplace(QFileInfo(projectPath).absolutePath(), wait);
  if (lock->result() == RunLock::Result::TimedOut) {
    Raise(kErrFileAccess,
          QStringLiteral("Another run is updating the project database; it was not updated: ") + projectPath);
  }
  if (!lock->held()) {
    Raise(kErrFileAccess,
          QStringLiteral("The run lock cannot be taken; the project database was not updated: ") +
              lock->reason());
  }
}
