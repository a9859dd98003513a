#pragma once
// The window's fixed captions and titles in the language of the language INI: the headers a tab sets
// for its view (they replace the controls' own language captions, which only show until then), the
// net address tab's caption, the window's title and the titles of the file dialogs. Until the language
// INI is read, and for every text it has no entry for, they are the program's own texts.

#include "texts/MessageTexts.h"

#include <QString>

#include <vector>

struct WindowTexts {
  // The number column's header on a machine tab and on the net address tab.
  QString keyHeader = QStringLiteral("Key");
  QString numberHeader = QStringLiteral("No.");
  // The document column's header on a machine tab, and the same column's on the net address tab.
  QString documentHeader = QStringLiteral("Html / Pdf - File");
  QString netAddressHeader = QStringLiteral("Net address");
  QString netAddressTab = QStringLiteral("Net address");
  // %1 the program folder's name.
  QString titleIntegrated = QStringLiteral("Erweiterte Konfiguration %1 - integriert");
  QString titleStandalone = QStringLiteral("Erweiterte Konfiguration %1 - standalone");
  QString browseDocument = QStringLiteral("Browse File Htlm / Htm / Pdf");
  QString browseSymbol = QStringLiteral("Browse File Gif / Bmp");
  QString browseNetAddress = QStringLiteral("Browse Net Address");
};

// The texts as the language INI names them, with the program's own texts.
std::vector<TextMessage> WindowTextList();
// The texts from the texts MessageTexts found for WindowTextList(), in its order.
WindowTexts WindowTextsFrom(const std::vector<QString>& texts);
