#include "presets/WorkingCopy.h"

#include "framework/FileLookup.h"
#include "presets/FileOps.h"
#include "presets/ProjectDatabaseHold.h"

#include <QFile>
#include <QFileInfo>

WorkingCopy::WorkingCopy(Trap& trap, const QString& takeoverPath, const QString& copy,
                         ProjectDatabaseHold* held) {
  trap.Run([&] {
    const QString existing = takeoverPath.isEmpty() ? QString() : FindExistingFile(takeoverPath);
    if (existing.isEmpty() || copy.isEmpty()) return;
    made_ = copy;
    if (held) {
      held->CopyTo(copy, ProjectDatabaseHold::Copy::Throwaway);
      copy_ = copy;
      return;
    }
    CopyDatabaseFilesQuickly(existing, copy);
    copy_ = copy;
  });
}

WorkingCopy::~WorkingCopy() {
  if (made_.isEmpty()) return;
  QFile::remove(made_);
  for (const char* suffix : {"-journal", "-wal", "-shm"}) QFile::remove(made_ + QLatin1String(suffix));
}
