#pragma once
// Captions, tool-tips and info-text keys of the window's controls, and the program's messages, taken
// from the language INI, which is seeded with every key that is asked for and missing so a translator
// gets the full list.
//
// The texts know no widgets: the controls are described by TextControl, and the texts found are
// returned for the window to apply.

#include "framework/ErrorHandling.h"
#include "texts/MessageTexts.h"

#include <QString>

#include <optional>
#include <vector>

struct TextControl {
  QString name;       // the control's name; members of a control array share it
  QString className;  // "LABEL", "COMMANDBUTTON", "CHECKBOX" get captions; others e.g. "TEXTBOX", "FRAME"
  QString tag;        // "NoTTT" (any case, anywhere) excludes the control from tool-tips
  std::optional<int> index;        // the member's index in its control array, none for a single control
  int helpId = 0;                  // what's-this help id, 0 for none
  std::optional<QString> caption;  // the design caption; none for a control without a caption
  bool takesToolTip = true;        // false for a control without a tool-tip
};

// What the language gives one control: a caption and a tool-tip to show instead of the design texts.
struct ControlTexts {
  std::optional<QString> caption;
  std::optional<QString> toolTip;
};

// What the current language gives the controls and the messages, each in the given order.
struct LanguageTexts {
  std::vector<ControlTexts> controls;
  std::vector<QString> messages;
};

// The texts of the current language for the controls and the messages. Missing keys are written to the
// language INI in one rewrite.
LanguageTexts LoadLanguageTexts(ErrorHandling& errors, const QString& languageIni,
                                const std::vector<TextControl>& controls,
                                const std::vector<TextMessage>& messages);
// The controls' texts alone.
std::vector<ControlTexts> LoadToolTipTexts(ErrorHandling& errors, const QString& languageIni,
                                           const std::vector<TextControl>& controls);
