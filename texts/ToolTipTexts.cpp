#include "texts/ToolTipTexts.h"

#include "framework/ErrorTrap.h"
#include "framework/IniAccess.h"
#include "framework/IniDocument.h"
#include "framework/Text.h"
#include "framework/TextFile.h"
#include "texts/Language.h"

#include <QHash>

namespace {

const QString kNativeLanguage = QStringLiteral("1031");
const QString kUntranslated = QStringLiteral("0");
constexpr int kMaxHelpId = 100;

// Thrown to stop the work on one control; it never leaves LoadToolTipTexts.
struct ControlFailure {};

bool HasText(const QString& value) {
  return !value.isEmpty() && value != kUntranslated;
}

bool IsArrayMember(const std::vector<TextControl>& controls, size_t position) {
  for (size_t other = 0; other < controls.size(); ++other) {
    if (other != position && controls[other].name == controls[position].name) return true;
  }
  return false;
}

// Name, index (array members only) and tag, as every key of a control spells them.
QString KeyPart(const TextControl& control, bool arrayMember) {
  if (arrayMember && !control.index) throw ControlFailure{};
  QString part = control.name;
  if (arrayMember) part += QString::number(*control.index);
  return part + QStringLiteral("_") + control.tag;
}

bool HasCaptionClass(const TextControl& control) {
  const QString cls = UCase(control.className);
  return cls == QStringLiteral("LABEL") || cls == QStringLiteral("COMMANDBUTTON") ||
         cls == QStringLiteral("CHECKBOX");
}

// The language INI read once, with every key that is missing collected and written back in one rewrite
// at the end. Lookups see the keys seeded before them, as they would if each were written at once.
class LanguageSection {
 public:
  LanguageSection(const QString& iniPath, QString language) : language_(std::move(language)) {
    const auto content = ReadTextFile(iniPath);
    if (!content) return;
    // The language's entries by case-folded name (INI names match without regard to case); the first of
    // duplicate entries is the one read.
    IniDocument::Parse(content->text).ForEachEntry(language_, [this](QStringView name, const QString& value) {
      const QString folded = name.toString().toCaseFolded();
      if (!entries_.contains(folded)) entries_.insert(folded, value);
    });
  }
  // The entry as the INI access reads it: trimmed, cut to the read limit, empty when missing.
  QString Read(const QString& key) const { return Stored(key).value_or(QString()).left(kIniReadLimit); }
  // Writes the key unless it holds the value already (the help ids several controls share, the "0" of an
  // entry still to be translated): a complete language INI is not rewritten.
  void Seed(const QString& key, const QString& value) {
    if (Stored(key) == value) return;
    entries_.insert(key.toCaseFolded(), value);
    seeds_.push_back({IniValue{value}, language_, key});
  }
  const std::vector<IniWrite>& Seeds() const { return seeds_; }
  const QString& Language() const { return language_; }

 private:
  std::optional<QString> Stored(const QString& key) const {
    const auto found = entries_.constFind(key.toCaseFolded());
    if (found == entries_.constEnd()) return std::nullopt;
    return *found;
  }

  QString language_;
  QHash<QString, QString> entries_;
  std::vector<IniWrite> seeds_;
};

void ApplyCaption(const TextControl& control, const QString& keyPart, LanguageSection& texts,
                  ControlTexts& result) {
  if (!control.caption) throw ControlFailure{};
  const QString key = QStringLiteral("Caption_") + keyPart;
  const QString text = texts.Read(key);
  if (HasText(text)) {
    result.caption = text;
  } else {
    texts.Seed(key, texts.Language() == kNativeLanguage ? *control.caption : kUntranslated);
  }

  if (control.helpId == 0) return;
  if (control.helpId < 1 || control.helpId > kMaxHelpId) throw ControlFailure{};
  const QString helpKey = QStringLiteral("Help") + QString::number(control.helpId);
  if (!HasText(texts.Read(helpKey))) texts.Seed(helpKey, kUntranslated);
}

void ApplyToolTip(const TextControl& control, const QString& keyPart, LanguageSection& texts,
                  ControlTexts& result) {
  const QString key = QStringLiteral("TTT_") + keyPart;
  const QString text = texts.Read(key);
  if (HasText(text)) {
    if (!control.takesToolTip) throw ControlFailure{};
    result.toolTip = text;
  } else {
    texts.Seed(key, kUntranslated);
  }
}

}  // namespace

std::vector<ControlTexts> LoadToolTipTexts(ErrorHandling& errors, const QString& languageIni,
                                           const std::vector<TextControl>& controls) {
  LanguageSection texts(languageIni, GetLanguage(errors, languageIni));
  std::vector<ControlTexts> results(controls.size());
  for (size_t position = 0; position < controls.size(); ++position) {
    const TextControl& control = controls[position];
    const bool arrayMember = IsArrayMember(controls, position);
    // A failure stops the work on this control only, without a message; what already succeeded stays.
    try {
      const QString keyPart = KeyPart(control, arrayMember);
      if (HasCaptionClass(control)) ApplyCaption(control, keyPart, texts, results[position]);
      if (!UCase(control.tag).contains(QStringLiteral("NOTTT"))) {
        ApplyToolTip(control, keyPart, texts, results[position]);
      }
    } catch (const ControlFailure&) {
    } catch (const std::exception&) {
    }
  }
  // Every missing key in one rewrite; a language INI that cannot take them is reported once.
  if (!texts.Seeds().empty()) {
    Trap trap(errors, QStringLiteral("LoadToolTipTexts"));
    trap.Run([&] {
      QString failure;
      if (SaveIniEntries(errors, texts.Seeds(), languageIni, &failure) == 0) {
        Raise(kErrFileAccess, AccessFailure(languageIni, failure));
      }
    });
  }
  return results;
}
