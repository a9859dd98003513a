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
    CopyFileQuickly(existing, copy);
    // A journal left by a writer that crashed goes along, so the copy is read as it was before the
    // crash (the first connection rolls it back), just as the project database itself would be.
    const QString journal = existing + QStringLiteral("-journal");
    if (QFileInfo::exists(journal)) CopyFileQuickly(journal, copy + QStringLiteral("-journal"));
    // So does a write-ahead log: what was committed into it is part of the database.
    const QString log = existing + QStringLiteral("-wal");
    if (QFileInfo::exists(log)) CopyFileQuickly(log, copy + QStringLiteral("-wal"));
    copy_ = copy;
  });
}

WorkingCopy::~WorkingCopy() {
  if (made_.isEmpty()) return;
  QFile::remove(made_);
  for (const char* suffix : {"-journal", "-wal", "-shm"}) QFile::remove(made_ + QLatin1String(suffix));
}
