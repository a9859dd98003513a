#include "texts/Language.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/IniAccess.h"
#include "framework/ProgramLocation.h"

namespace {
const QString kDefaultLanguage = QStringLiteral("1031");
}

QString LanguageIniPath() {
  return ExistingOrAsSpelled(ProgramFolder() + Sep() + ExecutableName() + QStringLiteral(".ini"));
}

QString GetLanguage() {
  Trap trap(QStringLiteral("GetLanguage"));
  QString language;
  trap.Run([&] {
    language = LoadIniString(QStringLiteral("Language"), QStringLiteral("Language"), LanguageIniPath());
  });
  if (!language.isEmpty()) return language;
  trap.Run([&] {
    SaveIni(IniValue{kDefaultLanguage}, QStringLiteral("Language"), QStringLiteral("Language"),
            LanguageIniPath());
  });
  return kDefaultLanguage;
}
