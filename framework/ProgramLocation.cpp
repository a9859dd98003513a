#include "framework/ProgramLocation.h"

#include "framework/Platform.h"
#include "framework/RunningExecutable.h"

#include <QFileInfo>

namespace {

bool IsSeparator(QChar c) {
  return c == u'\\' || c == u'/';
}

}  // namespace

ProgramLocation::ProgramLocation(const QString& folder, QString name)
    : programFolder_(folder), executableName_(std::move(name)) {
  while (programFolder_.size() > 1 && IsSeparator(programFolder_.back()) &&
         !(programFolder_.size() == 3 && programFolder_.at(1) == u':')) {
    programFolder_.chop(1);
  }
}

ProgramLocation ProgramLocation::OfRunningProgram(const char* argv0) {
  const QFileInfo executable(RunningExecutablePath(argv0));
  return ProgramLocation(executable.absolutePath(), executable.completeBaseName());
}

QString ProgramLocation::BaseFolder() const {
  QString base = programFolder_;
  while (!base.isEmpty() && !IsSeparator(base.back())) base.chop(1);
  if (!base.isEmpty()) base.chop(1);
  return base;
}

QString ProgramLocation::ExecutableFileName() const {
  return platform::ExecutableFileName(executableName_);
}

QString ProgramLocation::GetOCXName() const {
  return executableName_.left(qMax<qsizetype>(0, executableName_.size() - 7));
}

QString GetFileNameOnly(const QString& path) {
  const qsizetype last = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
  return path.mid(last + 1);
}
