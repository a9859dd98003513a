#pragma once
// The messages a program shows, in the language of the language INI. A message's key is
// "Message_" + its name + "_"; a message the language has no text for ("0", empty or missing) is shown
// in English, and its key is seeded with "0" in every language, as a tool-tip's is.

#include "texts/LanguageSection.h"

#include <QString>

#include <vector>

struct TextMessage {
  QString name;     // e.g. "ValueTooLong"
  QString english;  // shown while the language has no text for it
};

// "Message_" + name + "_".
QString MessageKey(const QString& name);

// The texts of the messages, in their order.
std::vector<QString> MessageTexts(LanguageSection& texts, const std::vector<TextMessage>& messages);
