#pragma once
// The language INI beside the executable and the language code it holds.

#include "framework/ErrorHandling.h"
#include "framework/ProgramLocation.h"

#include <QString>

// Program folder + separator + executable name + ".ini".
QString LanguageIniPath(const ProgramLocation& location);
// The language code of section [Language]; "1031" (written back) when it is missing or empty.
QString GetLanguage(ErrorHandling& errors, const QString& languageIni);
// The language code as GetLanguage gives it, read without writing anything: "1031" when it is missing.
QString ReadLanguage(const QString& languageIni);
