#include "framework/CommandLine.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/Text.h"

#include <optional>

bool IntegratedMode = false;
bool SilentMode = false;

namespace {

QString commandLine;

// The text after the word and its one separator character, or nullopt when the word does not occur.
std::optional<QString> TextAfterWord(const QString& line, const QString& word) {
  const qsizetype position = UCase(line).indexOf(UCase(word));
  if (position < 0) return std::nullopt;
  return line.mid(position + word.size() + 1);
}

}  // namespace

void SetCommandLine(const QString& line) {
  commandLine = line;
}
QString CommandLineText() {
  return commandLine;
}

QString ReadCommand(const QString& line, const QString& word) {
  Trap trap(QStringLiteral("ReadCommand"));
  QString value;
  trap.Run([&] {
    const auto rest = TextAfterWord(line, word);
    if (!rest) return;
    value = UCase(TrimBlanks(*rest));
    const qsizetype slash = value.indexOf(u'/');
    if (slash >= 0) value = UCase(TrimBlanks(value.left(slash)));
  });
  return value;
}

bool GetStartModeIntegrated() {
  Trap trap(QStringLiteral("GetStartModeIntegrated"));
  bool integrated = false;
  trap.Run([&] {
    const QString external = ReadCommand(commandLine, QStringLiteral("EXTERNAL"));
    integrated = external == QStringLiteral("QVZCFG");
    IntegratedMode = integrated;
    SilentMode = external == QStringLiteral("SILENT");
    if (SilentMode) IntegratedMode = integrated = false;
  });
  return integrated;
}

QString GetPathLogfile() {
  Trap trap(QStringLiteral("GetPathLogfile"));
  QString path;
  trap.Run([&] {
#ifdef Q_OS_WIN
    path = ReadCommand(commandLine, QStringLiteral("LOGFILE"));
#else
    // A path keeps its case on this file system, and a slash belongs to it: only " /" starts the next word.
    const auto rest = TextAfterWord(commandLine, QStringLiteral("LOGFILE"));
    if (!rest) return;
    QString value = TrimBlanks(*rest);
    const qsizetype next = value.indexOf(QStringLiteral(" /"));
    if (next >= 0) value = TrimBlanks(value.left(next));
    path = NativePath(value);
#endif
  });
  return path;
}
