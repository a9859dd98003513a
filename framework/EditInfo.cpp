#include "framework/EditInfo.h"

#include "framework/Cp1252.h"
#include "framework/ErrorTrap.h"
#include "framework/IniAccess.h"
#include "framework/Installation.h"
#include "framework/Platform.h"
#include "generated/Version.h"

namespace {

// Both entries go to the file in one rewrite, so an interrupted run never leaves half a record. A write
// that did not reach the file is an error of its own, not a silent success.
void SaveInfoEntries(ProjectContext& context, const QString& program, const QString& editor) {
  const QString file = GetCFGPath(context);
  const QString section = QStringLiteral("Info");
  QString failure;
  if (SaveIniEntries(
          context.errors,
          {{program, section, QStringLiteral("S_Prog")}, {editor, section, QStringLiteral("S_Editor")}}, file,
          &failure) == 0) {
    Raise(kErrFileAccess, QStringLiteral("Cannot write [Info] S_Prog and S_Editor to ") + file +
                              (failure.isEmpty() ? QString() : QStringLiteral(" (") + failure + u')'));
  }
}

}  // namespace

QString ProgramVersionText(bool integrated) {
  return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision) +
         (integrated ? QStringLiteral(" - Integrated") : QStringLiteral(" - Standalone"));
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
  return platform::FirstEnvironmentEntry();
}

void WriteEditInfo(ProjectContext& context) {
  Trap trap(context.errors, QStringLiteral("WriteEditInfo"));
  QString program;
  QString editor;
  trap.Run([&] { program = ProgramVersionText(context.mode.integrated); });
  trap.Run([&] { editor = EditorCode(FirstEnvironmentEntry()); });
  trap.Run([&] { SaveInfoEntries(context, program, editor); });
}
