#include "texts/ToolTipTexts.h"

#include "framework/Text.h"
#include "texts/Language.h"
#include "texts/LanguageSection.h"

namespace {

constexpr int kMaxHelpId = 100;

// Thrown to stop the work on one control; it never leaves LoadToolTipTexts.
struct ControlFailure {};

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

LanguageTexts LoadLanguageTexts(ErrorHandling& errors, const QString& languageIni,
                                const std::vector<TextControl>& controls,
                                const std::vector<TextMessage>& messages) {
  LanguageSection texts(languageIni, GetLanguage(errors, languageIni));
  LanguageTexts results;
  results.controls.resize(controls.size());
  for (size_t position = 0; position < controls.size(); ++position) {
    const TextControl& control = controls[position];
    const bool arrayMember = IsArrayMember(controls, position);
    // A failure stops the work on this control only, without a message; what already succeeded stays.
    try {
      const QString keyPart = KeyPart(control, arrayMember);
      if (HasCaptionClass(control)) ApplyCaption(control, keyPart, texts, results.controls[position]);
      if (!UCase(control.tag).contains(QStringLiteral("NOTTT"))) {
        ApplyToolTip(control, keyPart, texts, results.controls[position]);
      }
    } catch (const ControlFailure&) {
    } catch (const std::exception&) {
    }
  }
  results.messages = MessageTexts(texts, messages);
  // Every missing key in one rewrite.
  texts.WriteSeeds(errors, languageIni);
  return results;
}

std::vector<ControlTexts> LoadToolTipTexts(ErrorHandling& errors, const QString& languageIni,
                                           const std::vector<TextControl>& controls) {
  return LoadLanguageTexts(errors, languageIni, controls, {}).controls;
}
