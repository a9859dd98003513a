#include "framework/Platform.h"

#include <QFile>
#include <QFileInfo>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

extern char** environ;

namespace platform {

namespace {

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

}  // namespace

bool WindowsPaths() {
  return false;
}

QString PathSeparator() {
  return QStringLiteral("/");
}

QString NativeSeparators(const QString& path) {
  QString native = path;
  native.replace(u'\\', u'/');
  return native;
}

QString ExecutableFileName(const QString& name) {
  return name;
}

QString RunningExecutablePath() {
#ifdef __APPLE__
  std::vector<char> buffer(4096);
  uint32_t size = static_cast<uint32_t>(buffer.size());
  if (_NSGetExecutablePath(buffer.data(), &size) == 0)
    return QFileInfo(QString::fromLocal8Bit(buffer.data())).canonicalFilePath();
#else
  std::vector<char> buffer(4096);
  const ssize_t size = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (size > 0) return QString::fromLocal8Bit(buffer.data(), static_cast<qsizetype>(size));
#endif
  return {};
}

QString FirstEnvironmentEntry() {
  return environ && environ[0] ? QString::fromLocal8Bit(environ[0]) : QString();
}

QString DefaultServiceLogPath() {
  return QStringLiteral("/var/log/HalvekServicePack.log");
}

std::filesystem::path FileSystemPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

void SetCreationTime(const QString&, const QDateTime&) {}

std::optional<QString> MissingDisplay() {
#ifndef __APPLE__
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

}  // namespace platform
