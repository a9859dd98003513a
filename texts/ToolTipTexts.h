#pragma once
// Captions, tool-tips and info-text keys of the window's controls, taken from the language INI, which
// is seeded with every key that is asked for and missing so a translator gets the full list.
//
// The texts know no widgets: the window describes its controls through TextControl.

#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct TextControl {
  QString name;       // the control's name; members of a control array share it
  QString className;  // "LABEL", "COMMANDBUTTON", "CHECKBOX" get captions; others e.g. "TEXTBOX", "FRAME"
  QString tag;        // "NoTTT" (any case, anywhere) excludes the control from tool-tips
  std::optional<int> index;          // the member's index in its control array, none for a single control
  int helpId = 0;                    // what's-this help id, 0 for none
  std::function<QString()> caption;  // empty for controls without a caption
  std::function<void(const QString&)> setCaption;  // empty for controls without a caption
  std::function<void(const QString&)> setToolTip;  // empty for controls without a tool-tip
};

// Applies the texts of the current language to the controls, in the given order.
void LoadToolTipTexts(const std::vector<TextControl>& controls);
