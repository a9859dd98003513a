#include "texts/LanguageSection.h"

#include "framework/ErrorTrap.h"
#include "framework/IniDocument.h"
#include "framework/TextFile.h"

bool HasText(const QString& value) {
  return !value.isEmpty() && value != kUntranslated;
}

LanguageSection::LanguageSection(const QString& iniPath, QString language) : language_(std::move(language)) {
  const auto content = ReadTextFile(iniPath);
  if (!content) return;
  // The first of duplicate entries is the one read.
  IniDocument::Parse(content->text).ForEachEntry(language_, [this](QStringView name, const QString& value) {
    const QString folded = name.toString().toCaseFolded();
    if (!entries_.contains(folded)) entries_.insert(folded, value);
  });
}

QString LanguageSection::Read(const QString& key) const {
  return Stored(key).value_or(QString()).left(kIniReadLimit);
}

void LanguageSection::Seed(const QString& key, const QString& value) {
  if (Stored(key) == value) return;
  entries_.insert(key.toCaseFolded(), value);
  seeds_.push_back({IniValue{value}, language_, key});
}

void LanguageSection::WriteSeeds(ErrorHandling& errors, const QString& iniPath) const {
  if (seeds_.empty()) return;
  Trap trap(errors, QStringLiteral("LoadToolTipTexts"));
  trap.Run([&] {
    QString failure;
    if (SaveIniEntries(errors, seeds_, iniPath, &failure) == 0) {
      Raise(kErrFileAccess, AccessFailure(iniPath, failure));
    }
  });
}

std::optional<QString> LanguageSection::Stored(const QString& key) const {
  const auto found = entries_.constFind(key.toCaseFolded());
  if (found == entries_.constEnd()) return std::nullopt;
  return *found;
}
