#include "framework/Profile.h"

#include "framework/IniDocument.h"
#include "framework/TextFile.h"

#include <QFileInfo>

namespace profile {

namespace {

std::optional<QString> ReadValue(const QString& section, const QString& entry, const QString& file) {
  const auto content = ReadTextFile(file);
  if (!content) return std::nullopt;
  return IniDocument::Parse(content->text).Value(section, entry);
}

// The Windows conversion of a profile value to a number: optional sign, then "0x" hex or decimal
// digits up to the first other character; the result wraps around to 32 bits.
uint32_t ParseProfileNumber(const QString& text) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) negative = text.at(i++) == u'-';
  int base = 10;
  if (i + 1 < text.size() && text.at(i) == u'0' && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
    base = 16;
    i += 2;
  }
  uint32_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = text.at(i).isDigit() && text.at(i).unicode() < 128 ? text.at(i).unicode() - u'0'
                      : base == 16 && QStringLiteral("abcdef").contains(text.at(i).toLower())
                          ? text.at(i).toLower().unicode() - u'a' + 10
                          : -1;
    if (digit < 0) break;
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
  }
  return negative ? 0u - value : value;
}

}  // namespace

int GetString(const QString& section, const QString& entry, const QString& defaultValue, QString& out,
              int size, const QString& file) {
  const auto value = ReadValue(section, entry, file);
  QString text = value ? *value : defaultValue;
  if (!value) {
    while (text.endsWith(u' ')) text.chop(1);
  }
  out = text.left(qMax(0, size - 1));
  return static_cast<int>(out.size());
}

uint32_t GetInt(const QString& section, const QString& entry, int32_t defaultValue, const QString& file) {
  const auto value = ReadValue(section, entry, file);
  if (!value || value->isEmpty()) return static_cast<uint32_t>(defaultValue);
  return ParseProfileNumber(*value);
}

bool WriteString(const QString& section, const QString& entry, const std::optional<QString>& value,
                 const QString& file) {
  if (file.isEmpty()) return false;
  auto content = ReadTextFile(file);
  if (!content) {
    // A file that exists but cannot be read must not be replaced by a file holding one entry.
    if (QFileInfo::exists(file)) return false;
    // Removing an entry from a file that does not exist leaves nothing to do.
    if (!value) return true;
    content = TextFileContent{};
  }
  IniDocument doc = IniDocument::Parse(content->text);
  if (!doc.Set(section, entry, value)) return true;
  content->text = doc.Serialize();
  return WriteTextFileAtomically(file, *content);
}

}  // namespace profile
