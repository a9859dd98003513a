#include "framework/Profile.h"

#include "framework/IniDocument.h"
#include "framework/TextFile.h"

namespace profile {

namespace {

std::optional<QString> ReadValue(const QString& section, const QString& entry, const QString& file) {
  const auto content = ReadTextFile(file);
  if (!content) return std::nullopt;
  return IniDocument::Parse(std::move(content->text)).Value(section, entry);
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

FileResult WriteString(const QString& section, const QString& entry, const std::optional<QString>& value,
                       const QString& file) {
  return WriteStrings({EntryWrite{section, entry, value}}, file);
}

FileResult WriteStrings(const std::vector<EntryWrite>& writes, const QString& file) {
  if (file.isEmpty()) return FileResult::Failure(QStringLiteral("no file name"));
  QString failure;
  auto content = ReadTextFile(file, &failure);
  if (!content) {
    // A file that exists but cannot be read must not be replaced by a file holding only these entries.
    if (!failure.isEmpty()) return FileResult::Failure(failure);
    content = TextFileContent{};
  }
  const TextEncoding encoding = content->encoding;
  // The text moves into the document, so that edits need no second copy of it.
  IniDocument doc = IniDocument::Parse(std::move(content->text));
  bool changed = false;
  for (const EntryWrite& write : writes) {
    if (doc.Set(write.section, write.entry, write.value)) changed = true;
  }
  // Nothing to change (removing entries from a missing file included): the file stays untouched.
  if (!changed) return FileResult::Success();
  TextFileWriter writer(file, encoding);
  doc.SerializeTo([&writer](QStringView piece) { writer.Append(piece); });
  return writer.Commit();
}

}  // namespace profile
