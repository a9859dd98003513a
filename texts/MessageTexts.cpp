#include "texts/MessageTexts.h"

QString MessageKey(const TextMessage& message) {
  return message.prefix + message.name + QStringLiteral("_");
}

std::vector<QString> MessageTexts(LanguageSection& texts, const std::vector<TextMessage>& messages) {
  std::vector<QString> result;
  result.reserve(messages.size());
  for (const TextMessage& message : messages) {
    const QString key = MessageKey(message);
    const QString text = texts.Read(key);
    if (HasText(text)) {
      result.push_back(text);
    } else {
      texts.Seed(key, kUntranslated);
      result.push_back(message.english);
    }
  }
  return result;
}
