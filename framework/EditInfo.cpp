#include "framework/EditInfo.h"

#include "framework/CommandLine.h"
#include "framework/Cp1252.h"
#include "framework/ErrorTrap.h"
#include "framework/IniAccess.h"
#include "framework/Installation.h"
#include "generated/Version.h"

#ifdef Q_OS_WIN
#include <stdlib.h>
#else
extern char** environ;
#endif

namespace {

// A write that did not reach the file is an error of its own, not a silent success.
void SaveInfoEntry(const QString& value, const QString& entry) {
  const QString file = GetCFGPath();
  if (SaveIni(value, QStringLiteral("Info"), entry, file) == 0) {
    Raise(kErrFileAccess, QStringLiteral("Cannot write [Info] ") + entry + QStringLiteral(" to ") + file);
  }
}

}  // namespace

QString ProgramVersionText() {
  return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision) +
         (IntegratedMode ? QStringLiteral(" - Integrated") : QStringLiteral(" - Standalone"));
}

QString EditorCode(const QString& environmentEntry) {
  const qsizetype equals = environmentEntry.indexOf(u'=');
  const QString value = equals < 0 ? QString() : environmentEntry.mid(equals + 1);
  QString code;
  for (const QChar c : value) {
    if (c == u'-' || c == u'_') continue;
    code += QString::number(Cp1252Code(c) + 5, 16).toUpper();
  }
  return code;
}

QString FirstEnvironmentEntry() {
#ifdef Q_OS_WIN
  const wchar_t* first = _wenviron && _wenviron[0] ? _wenviron[0] : nullptr;
  return first ? QString::fromWCharArray(first) : QString();
#else
  return environ && environ[0] ? QString::fromLocal8Bit(environ[0]) : QString();
#endif
}

void WriteEditInfo() {
  Trap trap(QStringLiteral("WriteEditInfo"));
  trap.Run([&] { SaveInfoEntry(ProgramVersionText(), QStringLiteral("S_Prog")); });
  trap.Run([&] { SaveInfoEntry(EditorCode(FirstEnvironmentEntry()), QStringLiteral("S_Editor")); });
}
