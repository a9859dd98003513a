#include "framework/RunningExecutable.h"

#include "framework/Platform.h"

#include <QFileInfo>

QString RunningExecutablePath(const char* argv0) {
  const QString known = platform::RunningExecutablePath();
  if (!known.isEmpty()) return known;
  return argv0 ? QFileInfo(QString::fromLocal8Bit(argv0)).absoluteFilePath() : QString();
}
