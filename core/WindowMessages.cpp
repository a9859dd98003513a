#include "core/WindowMessages.h"

#include <array>

namespace {

struct Entry {
  const char* name;
  QString WindowMessages::*text;
};

// The key names are part of the language INI's format.
const std::array<Entry, 8> kEntries{{
    {"ValueTooLong", &WindowMessages::valueTooLong},
    {"DriveFault", &WindowMessages::driveFault},
    {"KeyValueTooLong", &WindowMessages::keyValueTooLong},
    {"KeyCharacterNotStorable", &WindowMessages::keyCharacterNotStorable},
    {"NetValueTooLong", &WindowMessages::netValueTooLong},
    {"NetCharacterNotStorable", &WindowMessages::netCharacterNotStorable},
    {"NoNetAddress", &WindowMessages::noNetAddress},
    {"DoubleDrive", &WindowMessages::doubleDrive},
}};

}  // namespace

std::vector<TextMessage> WindowMessageList() {
  const WindowMessages english;
  std::vector<TextMessage> list;
  for (const Entry& entry : kEntries) list.push_back({QString::fromLatin1(entry.name), english.*entry.text});
  return list;
}

WindowMessages WindowMessagesFrom(const std::vector<QString>& texts) {
  WindowMessages messages;
  for (size_t i = 0; i < kEntries.size() && i < texts.size(); ++i) messages.*kEntries[i].text = texts[i];
  return messages;
}
