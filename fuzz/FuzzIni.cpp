// Feeds arbitrary bytes to the INI reader and writer. Checks that nothing crashes, that every write is
// read back as the Windows functions would return it, and that a write leaves other entries alone.
#include "framework/Cp1252.h"
#include "framework/IniDocument.h"
#include "framework/Profile.h"
#include "framework/TextFile.h"
#include "fuzz/FuzzCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>

namespace {

// Names the fuzzer picks: letters and digits only, so they are valid section and entry names.
QString NameFrom(const QByteArray& bytes) {
  QString name;
  for (const char c : bytes) {
    if (QChar::fromLatin1(c).isLetterOrNumber() && static_cast<unsigned char>(c) < 128)
      name += QChar::fromLatin1(c);
  }
  return name.isEmpty() ? QStringLiteral("n") : name;
}

// What reading gives back for a written value: each line break (CR LF, CR or LF) is one blank, blanks and
// tabs around it go, the value ends at its first NUL, and one pair of outer quotes is removed.
QString ReadBack(QString value) {
  value.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
  qsizetype begin = 0, end = value.size();
  while (begin < end && (value[begin] == u' ' || value[begin] == u'\t')) ++begin;
  while (end > begin && (value[end - 1] == u' ' || value[end - 1] == u'\t')) --end;
  value = value.mid(begin, end - begin);
  if (const qsizetype nul = value.indexOf(QChar(u'\0')); nul >= 0) value.truncate(nul);
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.mid(1, value.size() - 2);
  }
  return value;
}

// What the entry reads as once its first occurrence in the section is removed: the value of the next
// duplicate of the entry in that section (the first of duplicate sections), as read back, or the default.
QString NextDuplicate(const QString& fileText, const QString& section, const QString& entry,
                      const QString& fallback) {
  int seen = 0;
  QString next = fallback;
  IniDocument::Parse(fileText).ForEachEntry(section, [&](QStringView name, const QString& value) {
    if (name.compare(entry, Qt::CaseInsensitive) == 0 && ++seen == 2) next = value;
  });
  return next;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // Layout: file bytes, then after the last 0x01 byte: section, entry and value separated by 0x02.
  const qsizetype split = input.lastIndexOf('\x01');
  const QByteArray fileBytes = split < 0 ? input : input.left(split);
  const QList<QByteArray> parts = split < 0 ? QList<QByteArray>{} : input.mid(split + 1).split('\x02');
  const QString section = NameFrom(parts.value(0));
  const QString entry = NameFrom(parts.value(1));
  const QString value = DecodeCp1252(parts.value(2));

  // Parsing any text and writing it out again keeps every lookup.
  const IniDocument doc = IniDocument::Parse(DecodeCp1252(fileBytes));
  const IniDocument again = IniDocument::Parse(doc.Serialize());
  FUZZ_CHECK(doc.Value(section, entry) == again.Value(section, entry));

  // Through real files: write one entry, read it back, and check a neighbour entry kept its value.
  // A folder in memory where there is one: every write syncs the file and its folder, which on a disk
  // would make each run cost milliseconds.
  static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isDir()
                               ? QStringLiteral("/dev/shm/fuzz_ini-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/fuzz_ini-XXXXXX"));
  const QString file = dir.path() + QStringLiteral("/fuzz.ini");
  QFile raw(file);
  if (!raw.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
  raw.write(fileBytes);
  raw.close();
  const auto original = ReadTextFile(file);
  const QString neighbour = entry + QStringLiteral("x");
  QString before, after, read;
  profile::GetString(section, neighbour, QString(), before, 100000, file);
  // A file that starts with a UTF-8 mark but holds other bytes is refused before anything is written:
  // it would not come back as it was.
  const QByteArray afterMark = fileBytes.mid(3);
  if (fileBytes.startsWith("\xEF\xBB\xBF") && QString::fromUtf8(afterMark).toUtf8() != afterMark) {
    FUZZ_CHECK(!profile::WriteString(section, entry, value, file));
    QFile kept(file);
    FUZZ_CHECK(kept.open(QIODevice::ReadOnly) && kept.readAll() == fileBytes);
    return 0;
  }
  FUZZ_CHECK(profile::WriteString(section, entry, value, file));
  profile::GetString(section, entry, QString(), read, 100000, file);
  profile::GetString(section, neighbour, QString(), after, 100000, file);
  FUZZ_CHECK(read == ReadBack(value));
  FUZZ_CHECK(before == after);
  FUZZ_CHECK(profile::WriteString(section, entry, std::nullopt, file));
  profile::GetString(section, entry, QStringLiteral("gone"), read, 100000, file);
  // The write replaced the first occurrence and the removal took it away: the next duplicate surfaces.
  if (original) FUZZ_CHECK(read == NextDuplicate(original->text, section, entry, QStringLiteral("gone")));
  profile::GetInt(section, entry, -1, file);
  return 0;
}
