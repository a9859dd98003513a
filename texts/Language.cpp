#include "texts/Language.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/IniAccess.h"
#include "framework/Profile.h"

namespace {
const QString kDefaultLanguage = QStringLiteral("1031");
}

QString LanguageIniPath(const ProgramLocation& location) {
  return ExistingOrAsSpelled(
      location.ProgramFolder() + Sep() + location.ExecutableName() + QStringLiteral(".ini"),
      location.BaseFolder());
}

QString GetLanguage(ErrorHandling& errors, const QString& languageIni) {
  Trap trap(errors, QStringLiteral("GetLanguage"));
  QString language;
  trap.Run([&] {
    language = LoadIniString(errors, QStringLiteral("Language"), QStringLiteral("Language"), languageIni);
  });
  if (!language.isEmpty()) return language;
  trap.Run([&] {
    QString failure;
    if (SaveIni(errors, IniValue{kDefaultLanguage}, QStringLiteral("Language"), QStringLiteral("Language"),
                languageIni, &failure) == 0) {
      Raise(kErrFileAccess, AccessFailure(languageIni, failure));
    }
  });
  return kDefaultLanguage;
}

QString ReadLanguage(const QString& languageIni) {
  QString language;
  profile::GetString(QStringLiteral("Language"), QStringLiteral("Language"), QString(), language,
                     kIniReadLimit + 1, languageIni);
  return language.isEmpty() ? kDefaultLanguage : language;
}
