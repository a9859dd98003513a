#include "framework/ProgramLocation.h"

#include "framework/ErrorTrap.h"

namespace {

QString programFolder;
QString executableName;

bool IsSeparator(QChar c) {
  return c == u'\\' || c == u'/';
}

}  // namespace

void SetProgramLocation(const QString& folder, const QString& name) {
  programFolder = folder;
  // Without a trailing separator, except for a root ("/" or "C:\").
  while (programFolder.size() > 1 && IsSeparator(programFolder.back()) &&
         !(programFolder.size() == 3 && programFolder.at(1) == u':')) {
    programFolder.chop(1);
  }
  executableName = name;
}

QString ProgramFolder() {
  return programFolder;
}

QString BaseFolder() {
  QString base = programFolder;
  while (!base.isEmpty() && !IsSeparator(base.back())) base.chop(1);
  if (!base.isEmpty()) base.chop(1);
  return base;
}

QString ExecutableName() {
  return executableName;
}

QString ExecutableFileName() {
#ifdef Q_OS_WIN
  return executableName + QStringLiteral(".exe");
#else
  return executableName;
#endif
}

QString GetOCXName() {
  Trap trap(QStringLiteral("GetOCXName"));
  QString name;
  trap.Run([&] { name = executableName.left(qMax<qsizetype>(0, executableName.size() - 7)); });
  return name;
}

QString GetFileNameOnly(const QString& path) {
  Trap trap(QStringLiteral("GetFileNameOnly"));
  QString name = path;
  trap.Run([&] {
    const qsizetype last = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    name = path.mid(last + 1);
  });
  return name;
}
