#include "presets/PreviousDatabase.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/Installation.h"
#include "framework/Platform.h"
#include "framework/TextFile.h"
#include "presets/FileOps.h"
#include "presets/ProjectDatabaseHold.h"
#include "presets/ProjectLock.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

// How long a restore waits for a running update of the same project.
constexpr std::chrono::milliseconds kRestoreLockWait{30000};

void RemoveCopy(const QString& path) {
  QFile::remove(path);
  QFile::remove(path + QStringLiteral("-journal"));
}

}  // namespace

QString PreviousDatabasePath(const QString& projectPath) {
  return projectPath + QStringLiteral(".previous");
}

void KeepPreviousDatabase(ProjectDatabaseHold* held, const QString& projectPath) {
  const QString previous = ExistingOrAsSpelled(PreviousDatabasePath(projectPath));
  if (!held) {
    try {
      CopyFileAtomically(projectPath, previous);
    } catch (const AppError& e) {
      Raise(kErrFileAccess,
            QStringLiteral("The previous project database cannot be kept, so the project database was not "
                           "replaced: ") +
                e.description);
    }
    return;
  }
  const QFileInfo info(previous);
  const QString temporary =
      info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".new");
  auto notKept = [&](const QString& reason) {
    RemoveCopy(temporary);
    Raise(kErrFileAccess,
          QStringLiteral("The previous project database cannot be kept (%1), so the project database was not "
                         "replaced: %2")
              .arg(reason, previous));
  };
  try {
    held->CopyTo(temporary, ProjectDatabaseHold::Copy::Kept);
  } catch (const AppError& e) {
    notKept(e.description);
  }
  // The rename replaces a link or an older copy at that name by the new file; it never writes into a
  // file that another name shares.
  std::error_code error;
  std::filesystem::rename(platform::FileSystemPath(temporary), platform::FileSystemPath(previous), error);
  if (error) notKept(QString::fromLocal8Bit(error.message()));
}

int RestorePreviousDatabase(ProjectContext& context) {
  Trap trap(context.errors, QStringLiteral("RestorePreviousDatabase"));
  QString project;
  trap.Run([&] { project = ExistingOrAsSpelled(GetPathOCXMDB(context)); });
  QString previous;
  if (!project.isEmpty()) trap.Run([&] { previous = FindExistingFile(PreviousDatabasePath(project)); });
  if (previous.isEmpty()) {
    PrintLine(stderr, QStringLiteral("There is no previous project database to put back: ") +
                          PreviousDatabasePath(project));
    return kExitError;
  }
  const QDateTime kept = QFileInfo(previous).lastModified();
  const bool restored = trap.Run([&] {
    std::optional<RunLock> lock;
    LockProject(lock, kRestoreLockWait, project);
    if (FileExists(project) && ProjectDatabaseHold::CanHold(project) &&
        ProjectDatabaseHold::CanHold(previous)) {
      ProjectDatabaseHold(project).ReplaceWith(previous);
    } else {
      CopyFileAtomically(previous, project);
    }
  });
  if (!restored) {
    PrintLine(stderr,
              QStringLiteral("The project database was not put back: ") + context.errors.LastErrorLine());
    return kExitError;
  }
  PrintLine(stdout, QStringLiteral("The project database %1 was put back as it was before the update of %2 "
                                   "(from %3).")
                        .arg(project, kept.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), previous));
  return kExitOk;
}
