#pragma once
// One language's section of the language INI, read once. Keys that are asked for and missing are
// collected and written back in one rewrite, so a translator gets the full list of keys.

#include "framework/ErrorHandling.h"
#include "framework/IniAccess.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// The language whose missing captions are seeded with the design captions.
inline const QString kNativeLanguage = QStringLiteral("1031");
// The value of an entry still to be translated.
inline const QString kUntranslated = QStringLiteral("0");

// An entry that is neither empty nor "0" holds a text.
bool HasText(const QString& value);

class LanguageSection {
 public:
  LanguageSection(const QString& iniPath, QString language);
  // The entry as the INI access reads it: trimmed, cut to the read limit, empty when missing. Lookups
  // see the keys seeded before them, as they would if each were written at once.
  QString Read(const QString& key) const;
  // Writes the key unless it holds the value already (the help ids several controls share, the "0" of an
  // entry still to be translated): a complete language INI is not rewritten.
  void Seed(const QString& key, const QString& value);
  const QString& Language() const { return language_; }
  // Every seeded key in one rewrite of the file; a file that cannot take them is reported once.
  void WriteSeeds(ErrorHandling& errors, const QString& iniPath) const;

 private:
  std::optional<QString> Stored(const QString& key) const;

  QString language_;
  QHash<QString, QString> entries_;  // by case-folded name: INI names match without regard to case
  std::vector<IniWrite> seeds_;
};
