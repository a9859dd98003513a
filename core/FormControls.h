#pragma once
// The controls of the editor's window as the language texts see them: name, index in a control array,
// class, tag, what's-this help id and design caption, in the order of the form description. The window
// builds its widgets under these names; the start-up seeds and reads the language INI from this list
// without a widget, so a run that shows no window seeds the same keys.

#include "texts/ToolTipTexts.h"

#include <QString>

#include <vector>

const std::vector<TextControl>& FormControls();

// Position of the control in FormControls(), -1 when there is none.
int FormControlPosition(const QString& name, std::optional<int> index = std::nullopt);
