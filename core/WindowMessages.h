#pragma once
// The editor's own messages in the language of the language INI: what a field says when it refuses a
// value and what the checks of OK say about a value the settings file cannot give back or a net address
// that is missing or shares its drive. Until the language INI is read, and for every message it has no
// text for, they are in English.
//
// Placeholders: %1, %2, ... in the order the comments name them; a translation may reorder them.

#include "texts/MessageTexts.h"

#include <QString>

#include <vector>

struct WindowMessages {
  // A typed or pasted text would make a field's value too long.
  QString valueTooLong = QStringLiteral("Fault: a value holds at most 254 characters");
  // A drive field holds a character outside G ... X.
  QString driveFault = QStringLiteral("Fault: only 'G' To 'X'");
  // %1 machine, %2 key, %3 column.
  QString keyValueTooLong = QStringLiteral("Fault in %1 , Key %2 , %3 : more than 254 characters!");
  // %1 machine, %2 key, %3 column, %4 the character.
  QString keyCharacterNotStorable =
      QStringLiteral("Fault in %1 , Key %2 , %3 : the character '%4' cannot be stored!");
  // %1 net address number, %2 column.
  QString netValueTooLong = QStringLiteral("Fault in net address %1 , %2 : more than 254 characters!");
  // %1 net address number, %2 column, %3 the character.
  QString netCharacterNotStorable =
      QStringLiteral("Fault in net address %1 , %2 : the character '%3' cannot be stored!");
  // A document or symbol on a share no net address covers. %1 machine, %2 key, %3 column.
  QString noNetAddress = QStringLiteral("Fault in %1 , Key %2 , %3 : no net address found!");
  // %1 and %2 the numbers of two net addresses with the same drive.
  QString doubleDrive = QStringLiteral("Fault: double drive in net address %1 and %2");
};

// The messages as the language INI names them, with their English texts.
std::vector<TextMessage> WindowMessageList();
// The messages from the texts MessageTexts found for WindowMessageList(), in its order.
WindowMessages WindowMessagesFrom(const std::vector<QString>& texts);
