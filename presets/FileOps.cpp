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

namespace {

// POSIX permission bits as Qt permissions (Qt names the owner's bits twice).
QFileDevice::Permissions Permissions(uint32_t mode) {
  QFileDevice::Permissions permissions;
  const std::pair<uint32_t, QFileDevice::Permissions> bits[] = {
      {0400, QFileDevice::ReadOwner | QFileDevice::ReadUser},
      {0200, QFileDevice::WriteOwner | QFileDevice::WriteUser},
      {0100, QFileDevice::ExeOwner | QFileDevice::ExeUser},
      {0040, QFileDevice::ReadGroup},
      {0020, QFileDevice::WriteGroup},
      {0010, QFileDevice::ExeGroup},
      {0004, QFileDevice::ReadOther},
      {0002, QFileDevice::WriteOther},
      {0001, QFileDevice::ExeOther}};
  for (const auto& [bit, permission] : bits) {
    if (mode & bit) permissions |= permission;
  }
  return permissions;
}

}  // namespace

void CopyFileQuickly(const QString& source, const QString& target) {
  RegularFileReader in(source);
  if (in.status() == RegularFileReader::Status::Missing) {
    Raise(kErrFileNotFound, QStringLiteral("File not found: ") + source);
  }
  if (in.status() != RegularFileReader::Status::Open) {
    Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + source);
  }
  // A journal of an earlier copy must not be played back into this one.
  std::error_code ignored;
  std::filesystem::remove(ToFsPath(target), ignored);
  std::filesystem::remove(ToFsPath(target + QStringLiteral("-journal")), ignored);
  QFile out(target);
  const uint32_t mode = in.mode() ? in.mode() : 0600;
  if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly, Permissions(mode))) {
    Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + target);
  }
  constexpr qint64 kChunk = 1 << 20;
  QByteArray chunk(kChunk, Qt::Uninitialized);
  for (;;) {
    const qint64 n = in.Read(chunk.data(), kChunk);
    if (n < 0) Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + source);
    if (n == 0) break;
    if (out.write(chunk.constData(), n) != n)
      Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + target);
  }
  if (!out.flush()) Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + target);
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
