#include "editor/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <array>
#include <utility>

namespace {

const QString kTranslatorName = QStringLiteral("QtTranslation");

}  // namespace

QString QtLocaleNameOf(const QString& languageCode) {
  bool number = false;
  const int code = languageCode.trimmed().toInt(&number);
  if (!number) return {};
  // The primary language is the low ten bits of a Windows language code.
  static constexpr std::array<std::pair<int, const char*>, 14> kPrimaryLanguages{{
      {0x05, "cs"},
      {0x06, "da"},
      {0x07, "de"},
      {0x09, "en"},
      {0x0A, "es"},
      {0x0B, "fi"},
      {0x0C, "fr"},
      {0x0E, "hu"},
      {0x10, "it"},
      {0x13, "nl"},
      {0x15, "pl"},
      {0x16, "pt"},
      {0x19, "ru"},
      {0x1D, "sv"},
  }};
  for (const auto& [primary, name] : kPrimaryLanguages) {
    if ((code & 0x3FF) == primary) return QString::fromLatin1(name);
  }
  return {};
}

bool InstallQtTranslation(const QString& languageCode) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  // The translator lives as long as the application; a later language replaces it.
  if (auto* previous = app->findChild<QTranslator*>(kTranslatorName, Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(previous);
    delete previous;
  }
  const QString locale = QtLocaleNameOf(languageCode);
  if (locale.isEmpty()) return false;
  auto* translator = new QTranslator(app);
  translator->setObjectName(kTranslatorName);
  if (!translator->load(QStringLiteral("qtbase_") + locale,
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}
