// Feeds arbitrary name templates, variable names, machine names and part numbers to the name
// resolution of the preset generation. Checks that only the first placeholder is replaced, that the
// rest of the text keeps its characters, and that a bad part number is an error, never a crash.
#include "framework/ErrorTrap.h"
#include "framework/Text.h"
#include "fuzz/FuzzCheck.h"
#include "presets/Database.h"
#include "presets/RecordSets.h"

#include <QStringList>

#include <cstdint>

namespace {

// ReplaceSearchItem must change exactly the first occurrence, found without regard to case.
void CheckReplacement(const QString& text, const QString& item, const QString& replacement) {
  const QString result = ReplaceSearchItem(text, item, replacement);
  const qsizetype p = UCase(text).indexOf(UCase(item));
  if (p < 0) {
    FUZZ_CHECK(result == text);
    return;
  }
  FUZZ_CHECK(result.size() == text.size() - item.size() + replacement.size());
  FUZZ_CHECK(result.left(p) == text.left(p));
  FUZZ_CHECK(result.mid(p, replacement.size()) == replacement);
  FUZZ_CHECK(result.mid(p + replacement.size()) == text.mid(p + item.size()));
}

// The byte-wise resolution on UTF-8 must give what ReplaceSearchItem gives on the text, whatever the bytes.
void CheckUtf8(const QByteArray& text, const QString& item, const QByteArray& replacement) {
  QByteArray out;
  const QByteArrayView result = ReplaceFirstUtf8(text, SearchItem(item), replacement, true, out);
  const QString expected = ReplaceSearchItem(QString::fromUtf8(text), item, QString::fromUtf8(replacement));
  const bool replacementExact = QString::fromUtf8(replacement).toUtf8() == replacement;
  if (replacementExact) FUZZ_CHECK(QString::fromUtf8(result) == expected);
}

// Texts equal under the collation have the same hash, however they are spelled or encoded.
void CheckHash(const QString& text, const QByteArray& raw) {
  const QByteArray utf8 = text.toUtf8();
  for (const QByteArray& other :
       {text.toCaseFolded().toUtf8(), text.toUpper().toUtf8(), text.toLower().toUtf8(), raw}) {
    if (db::CompareNoCase(utf8, other) == 0) FUZZ_CHECK(db::FoldedHash(utf8) == db::FoldedHash(other));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QStringList parts = input.split(u'\x01');
  const QString nameTemplate = parts.value(0);
  const QString varName = parts.value(1);
  const QString machine = parts.value(2);

  CheckReplacement(nameTemplate, QStringLiteral("###Var_Name"), varName);
  const QString withVariable = ReplaceSearchItem(nameTemplate, QStringLiteral("###Var_Name"), varName);
  CheckReplacement(withVariable, QStringLiteral("###machine"), machine);
  const QString once = ReplaceSearchItem(withVariable, QStringLiteral("###machine"), machine);
  CheckReplacement(once, QStringLiteral("###machine"), machine);
  CheckReplacement(varName, machine, nameTemplate);
  CheckUtf8(nameTemplate.toUtf8(), QStringLiteral("###machine"), machine.toUtf8());
  const QByteArray raw(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  CheckUtf8(raw, QStringLiteral("###Var_Name"), QByteArrayLiteral("v"));
  CheckHash(input, raw);

  // A part number is a whole number 1 to 50; anything else is error 13 or 9.
  for (const db::Value& value : {db::TextValue(parts.value(3)), db::Value{parts.value(3).toDouble()}}) {
    try {
      const int64_t part = PartNumber(value);
      FUZZ_CHECK(part >= 1 && part <= 50);
    } catch (const AppError& e) {
      FUZZ_CHECK(e.number == kErrTypeMismatch || e.number == kErrSubscript);
    }
  }
  return 0;
}
