#include "framework/Platform.h"

#include <QFile>

#include <stdlib.h>
#include <windows.h>

#include <vector>

namespace platform {

bool WindowsPaths() {
  return true;
}

QString PathSeparator() {
  return QStringLiteral("\\");
}

QString NativeSeparators(const QString& path) {
  return path;
}

QString ExecutableFileName(const QString& name) {
  return name + QStringLiteral(".exe");
}

QString RunningExecutablePath() {
  std::vector<wchar_t> buffer(32768);
  const DWORD size = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (size > 0 && size < buffer.size()) return QString::fromWCharArray(buffer.data(), static_cast<int>(size));
  return {};
}

QString FirstEnvironmentEntry() {
  const wchar_t* first = _wenviron && _wenviron[0] ? _wenviron[0] : nullptr;
  return first ? QString::fromWCharArray(first) : QString();
}

QString DefaultServiceLogPath() {
  return QStringLiteral("C:\\HalvekServicePack.log");
}

std::filesystem::path FileSystemPath(const QString& path) {
  return std::filesystem::path(path.toStdWString());
}

void SetCreationTime(const QString& path, const QDateTime& time) {
  if (!time.isValid()) return;
  QFile file(path);
  if (file.open(QIODevice::ReadWrite)) file.setFileTime(time, QFileDevice::FileBirthTime);
}

std::optional<QString> MissingDisplay() {
  return std::nullopt;
}

}  // namespace platform
