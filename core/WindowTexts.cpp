#include "core/WindowTexts.h"

#include <array>

namespace {

struct Entry {
  const char* name;
  QString WindowTexts::*text;
};

// The key names are part of the language INI's format.
const std::array<Entry, 10> kEntries{{
    {"KeyHeader", &WindowTexts::keyHeader},
    {"NumberHeader", &WindowTexts::numberHeader},
    {"DocumentHeader", &WindowTexts::documentHeader},
    {"NetAddressHeader", &WindowTexts::netAddressHeader},
    {"NetAddressTab", &WindowTexts::netAddressTab},
    {"TitleIntegrated", &WindowTexts::titleIntegrated},
    {"TitleStandalone", &WindowTexts::titleStandalone},
    {"BrowseDocument", &WindowTexts::browseDocument},
    {"BrowseSymbol", &WindowTexts::browseSymbol},
    {"BrowseNetAddress", &WindowTexts::browseNetAddress},
}};

}  // namespace

std::vector<TextMessage> WindowTextList() {
  const WindowTexts own;
  std::vector<TextMessage> list;
  for (const Entry& entry : kEntries) {
    list.push_back({QString::fromLatin1(entry.name), own.*entry.text, kFixedTextPrefix});
  }
  return list;
}

WindowTexts WindowTextsFrom(const std::vector<QString>& texts) {
  WindowTexts result;
  for (size_t i = 0; i < kEntries.size() && i < texts.size(); ++i) result.*kEntries[i].text = texts[i];
  return result;
}
