#include "editor/GuiApplication.h"

#include "editor/QtTranslation.h"

#include "framework/ErrorTrap.h"
#include "framework/Platform.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt ends a process whose GUI platform cannot start with an abort; while the application is made, such
// a fatal message ends the run with status 1 and a plain explanation instead.
void FatalDuringStart(QtMsgType type, const QMessageLogContext&, const QString& message) {
  std::fprintf(stderr, "%s\n", qPrintable(message));
  if (type != QtFatalMsg) return;
  std::fprintf(stderr,
               "The window cannot be shown: the GUI platform did not start. Start the program with "
               "EXTERNAL=SILENT to run unattended.\n");
  std::_Exit(kExitError);
}

}  // namespace

std::optional<QString> MissingDisplay() {
  return platform::MissingDisplay();
}

GuiApplication::GuiApplication(int& argc, char** argv, QString programName)
    : argc_(argc), argv_(argv), programName_(std::move(programName)) {}

GuiApplication::~GuiApplication() = default;

bool GuiApplication::Exists() const {
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

void GuiApplication::Ensure() {
  if (Exists()) return;
  const auto noWindow = [this](const QString& why) {
    std::fprintf(
        stderr,
        "%s: the window cannot be shown: %s.\n"
        "Start it with EXTERNAL=SILENT to run unattended (no window, faults go to the service log).\n",
        qPrintable(programName_), qPrintable(why));
    EndProgram(kExitError);
  };
  if (const std::optional<QString> missing = MissingDisplay()) noWindow(*missing);
  const QtMessageHandler previous = qInstallMessageHandler(FatalDuringStart);
  app_ = std::make_unique<QApplication>(argc_, argv_);
  qInstallMessageHandler(previous);
  // A platform that started without a screen (a frame buffer that is none) would abort at the first
  // window.
  if (QGuiApplication::screens().isEmpty()) {
    const QString platformName = QGuiApplication::platformName();
    // Closed first: the platform's input handlers go with it.
    app_.reset();
    noWindow(QStringLiteral("the GUI platform %1 has no screen").arg(platformName));
  }
  // Message boxes and file dialogs carry the program's icon too.
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/documentation-config.png")));
  InstallQtTranslation(language_);
}

void GuiApplication::SetLanguage(const QString& languageCode) {
  language_ = languageCode;
  if (Exists()) InstallQtTranslation(language_);
}
