#include "texts/ToolTipTexts.h"

#include "framework/ErrorTrap.h"
#include "framework/IniAccess.h"
#include "framework/Text.h"
#include "texts/Language.h"

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

void ApplyCaption(const TextControl& control, const QString& keyPart, const QString& language,
                  const QString& iniPath) {
  if (!control.caption || !control.setCaption) throw ControlFailure{};
  const QString key = QStringLiteral("Caption_") + keyPart;
  const QString text = LoadIniString(language, key, iniPath);
  if (HasText(text)) {
    control.setCaption(text);
  } else if (language != kNativeLanguage) {
    SaveIni(IniValue{kUntranslated}, language, key, iniPath);
  } else {
    SaveIni(IniValue{control.caption()}, language, key, iniPath);
  }

  if (control.helpId == 0) return;
  if (control.helpId < 1 || control.helpId > kMaxHelpId) throw ControlFailure{};
  const QString helpKey = QStringLiteral("Help") + QString::number(control.helpId);
  if (!HasText(LoadIniString(language, helpKey, iniPath))) {
    SaveIni(IniValue{kUntranslated}, language, helpKey, iniPath);
  }
}

void ApplyToolTip(const TextControl& control, const QString& keyPart, const QString& language,
                  const QString& iniPath) {
  const QString key = QStringLiteral("TTT_") + keyPart;
  const QString text = LoadIniString(language, key, iniPath);
  if (HasText(text)) {
    if (!control.setToolTip) throw ControlFailure{};
    control.setToolTip(text);
  } else {
    SaveIni(IniValue{kUntranslated}, language, key, iniPath);
  }
}

}  // namespace

void LoadToolTipTexts(const std::vector<TextControl>& controls) {
  const QString language = GetLanguage();
  const QString iniPath = LanguageIniPath();
  for (size_t position = 0; position < controls.size(); ++position) {
    const TextControl& control = controls[position];
    const bool arrayMember = IsArrayMember(controls, position);
    // A failure stops the work on this control only, without a message; what already succeeded stays.
    try {
      const QString keyPart = KeyPart(control, arrayMember);
      if (HasCaptionClass(control)) ApplyCaption(control, keyPart, language, iniPath);
      if (!UCase(control.tag).contains(QStringLiteral("NOTTT"))) {
        ApplyToolTip(control, keyPart, language, iniPath);
      }
    } catch (const ControlFailure&) {
    } catch (const std::exception&) {
    }
  }
}
