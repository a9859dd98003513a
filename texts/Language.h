#pragma once
// The language INI beside the executable and the language code it holds.

#include <QString>

// Program folder + separator + executable name + ".ini".
QString LanguageIniPath();
// The language code of section [Language]; "1031" (written back) when it is missing or empty.
QString GetLanguage();
