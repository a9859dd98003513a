#pragma once
// What the settings file can give back: a value of at most 254 characters, every one of them a
// character of Windows-1252. Anything else would come back cut or with "?" in place of a character.

#include "core/DocumentationSettings.h"
#include "core/WindowMessages.h"

#include <QString>

#include <optional>

// The captions fault texts name a column by.
struct ColumnCaptions {
  QString document;
  QString symbol;
  QString netAddress;
  QString user;
  QString password;
};

// The first character of text that Windows-1252 cannot hold (a character outside the basic plane as
// a whole), or nullopt when every one can be stored.
std::optional<QString> FirstUnstorableCharacter(const QString& text);

// The first value of the loaded slots that the settings file cannot give back, in the order of the
// tabs: each machine's keys (document, then symbol), then the net addresses (address, user, password).
// A settings file in UTF-16LE holds every character; only the length counts then.
std::optional<NetAddressFault> FindUnstorableValue(const ProjectContext& context,
                                                   const DocumentationSettings& settings,
                                                   const ColumnCaptions& captions,
                                                   const WindowMessages& messages);
