#include "presets/FileOps.h"

#include "framework/ErrorTrap.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <system_error>

std::filesystem::path ToFsPath(const QString& path) {
#ifdef _WIN32
  return std::filesystem::path(path.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

void CopyFileAtomically(const QString& source, const QString& target) {
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly)) {
    Raise(in.exists() ? kErrFileAccess : kErrFileNotFound,
          (in.exists() ? QStringLiteral("Path/File access error: ") : QStringLiteral("File not found: ")) +
              source);
  }
  const QFileInfo targetInfo(target);
  QTemporaryFile temp(targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName() +
                      QStringLiteral(".XXXXXX"));
  if (!temp.open()) Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + target);
  constexpr qint64 kChunk = 1 << 20;
  while (!in.atEnd()) {
    const QByteArray chunk = in.read(kChunk);
    if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
      Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + source);
    }
    if (temp.write(chunk) != chunk.size())
      Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + target);
  }
  if (!temp.flush()) Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + target);
  temp.setPermissions(in.permissions());  // as a plain file copy would, not the temporary file's 0600
  temp.close();

  std::error_code ignored;
  std::filesystem::remove(ToFsPath(target + QStringLiteral("-journal")), ignored);
  std::error_code ec;
  std::filesystem::rename(ToFsPath(temp.fileName()), ToFsPath(target), ec);
  if (ec) Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + target);
  temp.setAutoRemove(false);  // the file now lives under the target's name
}

bool CanOpenForWriting(const QString& path) {
  QFile file(path);
  // ReadWrite neither truncates nor touches the times; the existence test keeps it from creating a file.
  return file.exists() && file.open(QIODevice::ReadWrite);
}

FileTimes ReadFileTimes(const QString& path) {
  FileTimes times;
  times.lastWrite = std::filesystem::last_write_time(ToFsPath(path));
  const QFileInfo info(path);
  times.creation = info.fileTime(QFileDevice::FileBirthTime);
  times.lastAccess = info.fileTime(QFileDevice::FileAccessTime);
  return times;
}

void RestoreFileTimes(const QString& path, const FileTimes& times) {
  std::filesystem::last_write_time(ToFsPath(path), times.lastWrite);
#ifdef _WIN32
  if (times.creation.isValid()) {
    QFile file(path);
    if (file.open(QIODevice::ReadWrite)) file.setFileTime(times.creation, QFileDevice::FileBirthTime);
  }
#endif
}
