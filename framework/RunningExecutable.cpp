#include "framework/RunningExecutable.h"

#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#elif defined(Q_OS_MACOS)
#include <mach-o/dyld.h>
#else
#include <unistd.h>
#endif

#include <vector>

QString RunningExecutablePath(const char* argv0) {
#ifdef Q_OS_WIN
  std::vector<wchar_t> buffer(32768);
  const DWORD size = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (size > 0 && size < buffer.size()) return QString::fromWCharArray(buffer.data(), static_cast<int>(size));
#elif defined(Q_OS_MACOS)
  std::vector<char> buffer(4096);
  uint32_t size = static_cast<uint32_t>(buffer.size());
  if (_NSGetExecutablePath(buffer.data(), &size) == 0)
    return QFileInfo(QString::fromLocal8Bit(buffer.data())).canonicalFilePath();
#else
  std::vector<char> buffer(4096);
  const ssize_t size = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (size > 0) return QString::fromLocal8Bit(buffer.data(), static_cast<qsizetype>(size));
#endif
  return argv0 ? QFileInfo(QString::fromLocal8Bit(argv0)).absoluteFilePath() : QString();
}
