#include "framework/CommandLine.h"

#include "framework/FileLookup.h"
#include "framework/Platform.h"
#include "framework/Text.h"

#include <optional>

namespace {

// The text after the word and its one separator character, or nullopt when the word does not occur.
std::optional<QString> TextAfterWord(const QString& line, const QString& word) {
  const qsizetype position = UCase(line).indexOf(UCase(word));
  if (position < 0) return std::nullopt;
  return line.mid(position + word.size() + 1);
}

}  // namespace

QString ReadCommand(const QString& line, const QString& word) {
  const auto rest = TextAfterWord(line, word);
  if (!rest) return {};
  QString value = UCase(TrimBlanks(*rest));
  const qsizetype slash = value.indexOf(u'/');
  if (slash >= 0) value = UCase(TrimBlanks(value.left(slash)));
  return value;
}

StartMode GetStartModeIntegrated(const QString& line) {
  const QString external = ReadCommand(line, QStringLiteral("EXTERNAL"));
  StartMode mode;
  mode.silent = external == QStringLiteral("SILENT");
  mode.integrated = !mode.silent && external == QStringLiteral("QVZCFG");
  mode.logfile = GetPathLogfile(line);
  return mode;
}

QString GetPathLogfile(const QString& line) {
  if (platform::WindowsPaths()) return ReadCommand(line, QStringLiteral("LOGFILE"));
  // A path keeps its case on this file system, and a slash belongs to it: only " /" starts the next word.
  const auto rest = TextAfterWord(line, QStringLiteral("LOGFILE"));
  if (!rest) return {};
  QString value = TrimBlanks(*rest);
  const qsizetype next = value.indexOf(QStringLiteral(" /"));
  if (next >= 0) value = TrimBlanks(value.left(next));
  return NativePath(value);
}
