#include "presets/FileOps.h"

#include "framework/ErrorTrap.h"
#include "framework/Platform.h"
#include "framework/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <system_error>

std::filesystem::path ToFsPath(const QString& path) {
  return platform::FileSystemPath(path);
}

namespace {

// Error 75 with the reason, which names the file (the path alone when there is none), as the INI
// files' failures are reported.
[[noreturn]] void AccessError(const QString& path, const QString& reason = {}) {
  Raise(kErrFileAccess, QStringLiteral("Path/File access error: ") + (reason.isEmpty() ? path : reason));
}

// The source of a copy, open for reading: error 53 when it is missing, 75 when it cannot be read.
void OpenSource(RegularFileReader& in, const QString& source) {
  if (in.status() == RegularFileReader::Status::Missing) {
    Raise(kErrFileNotFound, QStringLiteral("File not found: ") + source);
  }
  if (in.status() != RegularFileReader::Status::Open) AccessError(source, in.reason());
}

// Copies the source's bytes in pieces of 1 MiB; write returns false when a piece could not be written.
template <class Write>
void CopyPieces(RegularFileReader& in, const QString& source, const QString& target, Write&& write) {
  constexpr qint64 kChunk = 1 << 20;
  QByteArray chunk(kChunk, Qt::Uninitialized);
  for (;;) {
    const qint64 n = in.Read(chunk.data(), kChunk);
    if (n < 0) AccessError(source, in.reason());
    if (n == 0) break;
    if (const FileResult written = write(QByteArrayView(chunk.constData(), n)); !written) {
      AccessError(target, written.reason);
    }
  }
}

}  // namespace

void CopyFileAtomically(const QString& source, const QString& target) {
  RegularFileReader in(source);
  OpenSource(in, source);
  // A new target gets the source's mode, as a plain file copy would; an existing one keeps its own.
  FileReplacement out(target, in.mode());
  if (!out.status()) AccessError(target, out.status().reason);
  CopyPieces(in, source, target, [&](QByteArrayView piece) { return out.Write(piece); });
  // SQLite names the journal after the path it opened; a link's target may have one of its own.
  std::error_code ignored;
  std::filesystem::remove(ToFsPath(target + QStringLiteral("-journal")), ignored);
  if (out.target() != target)
    std::filesystem::remove(ToFsPath(out.target() + QStringLiteral("-journal")), ignored);
  if (const FileResult committed = out.Commit(); !committed) AccessError(target, committed.reason);
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
  OpenSource(in, source);
  // A journal of an earlier copy must not be played back into this one.
  std::error_code ignored;
  std::filesystem::remove(ToFsPath(target), ignored);
  std::filesystem::remove(ToFsPath(target + QStringLiteral("-journal")), ignored);
  QFile out(target);
  const uint32_t mode = in.mode() ? in.mode() : 0600;
  if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly, Permissions(mode))) {
    AccessError(target, target + QStringLiteral(": ") + out.errorString());
  }
  CopyPieces(in, source, target, [&](QByteArrayView piece) {
    if (out.write(piece.data(), piece.size()) == piece.size()) return FileResult::Success();
    return FileResult::Failure(target + QStringLiteral(": ") + out.errorString());
  });
  if (!out.flush()) AccessError(target, target + QStringLiteral(": ") + out.errorString());
}

void CopyDatabaseFilesQuickly(const QString& source, const QString& target) {
  CopyFileQuickly(source, target);
  for (const QLatin1String suffix : {QLatin1String("-journal"), QLatin1String("-wal")}) {
    if (QFileInfo::exists(source + suffix)) CopyFileQuickly(source + suffix, target + suffix);
  }
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
  platform::SetCreationTime(path, times.creation);
}
