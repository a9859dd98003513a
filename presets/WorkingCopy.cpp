#include "presets/WorkingCopy.h"

#include "framework/FileLookup.h"
#include "presets/FileOps.h"

#include <QFile>
#include <QFileInfo>

WorkingCopy::WorkingCopy(Trap& trap, const QString& takeoverPath, const QString& projectPath) {
  trap.Run([&] {
    const QString existing = takeoverPath.isEmpty() ? QString() : FindExistingFile(takeoverPath);
    if (existing.isEmpty() || projectPath.isEmpty()) return;
    const QFileInfo info(ExistingOrAsSpelled(projectPath));
    const QString copy =
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".update");
    made_ = copy;
    CopyFileQuickly(existing, copy);
    // A journal left by a writer that crashed goes along, so the copy is read as it was before the
    // crash (the first connection rolls it back), just as the project database itself would be.
    const QString journal = existing + QStringLiteral("-journal");
    if (QFileInfo::exists(journal)) CopyFileQuickly(journal, copy + QStringLiteral("-journal"));
    copy_ = copy;
  });
}

WorkingCopy::~WorkingCopy() {
  if (made_.isEmpty()) return;
  QFile::remove(made_);
  QFile::remove(made_ + QStringLiteral("-journal"));
}
