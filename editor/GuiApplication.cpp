#include "editor/GuiApplication.h"

#include "editor/QtTranslation.h"

#include "framework/ErrorTrap.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#endif

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// Whether the local X server of the display (":N", "unix:N", ":N.S") accepts connections. A display on
// another host is taken as reachable; Qt itself tells when it is not.
bool LocalXServerReachable(const QString& display) {
  const qsizetype colon = display.lastIndexOf(u':');
  if (colon < 0) return false;
  const QString host = display.left(colon);
  if (!host.isEmpty() && host != QStringLiteral("unix")) return true;
  const QString number = display.mid(colon + 1).section(u'.', 0, 0);
  const QByteArray socketPath = "/tmp/.X11-unix/X" + number.toLatin1();
  auto connects = [&](bool abstract) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;  // an abstract name starts with a zero byte
    std::memcpy(address.sun_path + offset, socketPath.constData(),
                std::min(sizeof(address.sun_path) - 1 - offset, static_cast<size_t>(socketPath.size())));
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + socketPath.size());
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    close(fd);
    return ok;
  };
  return connects(true) || connects(false);
}
#endif

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
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM").section(u';', 0, 0).section(u':', 0, 0);
  const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
  const QString x11 = qEnvironmentVariable("DISPLAY");
  if (platform.isEmpty() || platform == QStringLiteral("xcb") || platform == QStringLiteral("wayland")) {
    if (platform != QStringLiteral("xcb") && !wayland.isEmpty()) return std::nullopt;
    if (platform == QStringLiteral("wayland")) return QStringLiteral("WAYLAND_DISPLAY is not set");
    if (x11.isEmpty()) {
      return platform.isEmpty() ? QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set")
                                : QStringLiteral("DISPLAY is not set");
    }
    if (!LocalXServerReachable(x11)) return QStringLiteral("the X display %1 cannot be reached").arg(x11);
  }
#endif
  return std::nullopt;
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
    noWindow(QStringLiteral("the GUI platform %1 has no screen").arg(QGuiApplication::platformName()));
  }
  // Message boxes and file dialogs carry the program's icon too.
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/documentation-config.png")));
  InstallQtTranslation(language_);
}

void GuiApplication::SetLanguage(const QString& languageCode) {
  language_ = languageCode;
  if (Exists()) InstallQtTranslation(language_);
}
