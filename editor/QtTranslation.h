#pragma once
// Qt's own texts (the buttons of message boxes, the file dialog) in the window's language: Qt's
// translation for the language code of the language INI, from Qt's translations folder. The program's
// own texts come from the language INI.

#include <QString>

// The Qt locale name of a Windows language code ("1031" gives "de", "1033" gives "en"), empty for a
// code it does not know.
QString QtLocaleNameOf(const QString& languageCode);

// Replaces the Qt translation of the running application by the one of the language. False when the
// language has none here (Qt then speaks English).
bool InstallQtTranslation(const QString& languageCode);
