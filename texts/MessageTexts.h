#pragma once
// The messages and the other fixed texts a program shows, in the language of the language INI. A
// message's key is "Message_" + its name + "_", a fixed caption's or title's "Text_" + its name + "_".
// A text the language has no entry for ("0", empty or missing) is shown as the program gives it (its
// English text), and its key is seeded with "0" in every language, as a tool-tip's is.

#include "texts/LanguageSection.h"

#include <QString>

#include <vector>

inline const QString kMessagePrefix = QStringLiteral("Message_");
inline const QString kFixedTextPrefix = QStringLiteral("Text_");

struct TextMessage {
  QString name;                     // e.g. "ValueTooLong"
  QString english;                  // shown while the language has no text for it
  QString prefix = kMessagePrefix;  // kFixedTextPrefix for a caption or a title
};

// prefix + name + "_".
QString MessageKey(const TextMessage& message);

// The texts of the messages, in their order.
std::vector<QString> MessageTexts(LanguageSection& texts, const std::vector<TextMessage>& messages);
