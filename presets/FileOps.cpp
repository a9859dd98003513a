#include "presets/FileOps.h"

#include "framework/ErrorTrap.h"
#include "framework/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <system_error>

std::filesystem::path ToFsPath(const QString& path) {
#ifdef _WIN32
  return std::filesystem::path(path.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

void CopyFileAtomically(const QString& source, const QString& target) {
  RegularFileReader in(source);
  if (in.status() == RegularFileReader::Status::Missing) {
    Raise(kErrFileNotFound, QStringLiteral("File not found: ") + source);
  }
  if (in.status() != RegularFileReader::Status::Open) {
    Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + source);
  }
  // A new target gets the source's mode, as a plain file copy would; an existing one keeps its own.
  FileReplacement out(target, in.mode());
  if (!out.status()) Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + target);
  constexpr qint64 kChunk = 1 << 20;
  QByteArray chunk(kChunk, Qt::Uninitialized);
  for (;;) {
    const qint64 n = in.Read(chunk.data(), kChunk);
    if (n < 0) Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + source);
    if (n == 0) break;
    if (!out.Write(QByteArrayView(chunk.constData(), n))) {
      Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + target);
    }
  }
  // SQLite names the journal after the path it opened; a link's target may have one of its own.
  std::error_code ignored;
  std::filesystem::remove(ToFsPath(target + QStringLiteral("-journal")), ignored);
  if (out.target() != target)
    std::filesystem::remove(ToFsPath(out.target() + QStringLiteral("-journal")), ignored);
  if (!out.Commit()) Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + target);
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
