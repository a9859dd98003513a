#include "framework/Platform.h"

#include "framework/HeapGrowth.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace platform {

namespace {

std::wstring Wide(const QString& path) {
  QString native = path;
  native.replace(u'/', u'\\');
  return native.toStdWString();
}

// The C runtime's error number for a Windows error, so that the descriptor calls report as on POSIX.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    default:
      return EIO;
  }
}

int FailWith(DWORD error) {
  errno = ErrnoOf(error);
  return -1;
}

// Fills the status from an open handle; false (errno set) when the system tells nothing.
bool Fill(HANDLE handle, FileStatus* status) {
  *status = FileStatus{};
  const DWORD type = GetFileType(handle);
  if (type == FILE_TYPE_CHAR) {
    status->kind = FileKind::Device;
    return true;
  }
  if (type == FILE_TYPE_PIPE) {
    status->kind = FileKind::Fifo;
    return true;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) {
    FailWith(GetLastError());
    return false;
  }
  const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status->kind = folder ? FileKind::Folder : FileKind::Regular;
  status->size = static_cast<qint64>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
  // The C runtime's reading of the attributes: read-only or not, for everyone alike.
  status->mode = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444u : 0666u;
  if (folder) status->mode |= 0111u;
  status->device = info.dwVolumeSerialNumber;
  status->inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  status->links = static_cast<unsigned>(info.nNumberOfLinks);
  return true;
}

// Files are opened so that other programs, and other runs, may read, write, rename and delete them
// meanwhile: an open reader never stands in the way of a replacement.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

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

int OpenFile(const QString& path, FileOpen how) {
  DWORD access = FILE_READ_ATTRIBUTES;
  DWORD disposition = OPEN_EXISTING;
  int flags = _O_BINARY;
  switch (how) {
    case FileOpen::Read:
      access |= GENERIC_READ;
      flags |= _O_RDONLY;
      break;
    case FileOpen::Append:
      // Append access only: the system puts every write at the current end, also with other writers.
      access |= FILE_APPEND_DATA | SYNCHRONIZE;
      disposition = OPEN_ALWAYS;
      flags |= _O_WRONLY | _O_APPEND;
      break;
    case FileOpen::CreateNew:
    case FileOpen::CreatePrivate:
      access |= GENERIC_WRITE;
      disposition = CREATE_NEW;
      flags |= _O_WRONLY;
      break;
    case FileOpen::Rewrite:
      access |= GENERIC_WRITE;
      flags |= _O_WRONLY;
      break;
  }
  HANDLE handle = CreateFileW(Wide(path).c_str(), access, kShareAll, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWith(GetLastError());
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (fd < 0) {
    const int error = errno;
    CloseHandle(handle);
    errno = error;
  }
  return fd;
}

int StatPath(const QString& path, FileStatus* status) {
  // Folders open only with backup semantics; attributes only, so nothing of the file is locked.
  HANDLE handle = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWith(GetLastError());
  const bool ok = Fill(handle, status);
  const int error = errno;
  CloseHandle(handle);
  errno = error;
  return ok ? 0 : -1;
}

int StatDescriptor(int fd, FileStatus* status) {
  const intptr_t handle = _get_osfhandle(fd);
  if (handle == -1) return -1;
  return Fill(reinterpret_cast<HANDLE>(handle), status) ? 0 : -1;
}

void EndNonBlocking(int) {}

qint64 ReadDescriptor(int fd, char* buffer, qint64 max) {
  return _read(fd, buffer, static_cast<unsigned>(std::min<qint64>(max, 1 << 30)));
}

qint64 WriteDescriptor(int fd, const char* data, qint64 size) {
  return _write(fd, data, static_cast<unsigned>(std::min<qint64>(size, 1 << 30)));
}

int SyncDescriptor(int fd) {
  return _commit(fd);
}

int SeekDescriptor(int fd, qint64 offset) {
  return _lseeki64(fd, offset, SEEK_SET) < 0 ? -1 : 0;
}

int TruncateDescriptor(int fd, qint64 size) {
  const errno_t error = _chsize_s(fd, size);
  if (error == 0) return 0;
  errno = error;
  return -1;
}

int CloseDescriptor(int fd) {
  return _close(fd);
}

void RemovePath(const QString& path) {
  DeleteFileW(Wide(path).c_str());
}

std::optional<QString> RenameOver(const QString& from, const QString& to) {
  // A program that holds the file open without letting others delete it (a virus scanner, an indexer, an
  // editor) blocks the rename for a moment: it is tried again for up to a second before it fails.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  for (;;) {
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return std::nullopt;
    }
    const DWORD error = GetLastError();
    const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
    if (!busy || std::chrono::steady_clock::now() >= deadline) return qt_error_string(static_cast<int>(error));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// MOVEFILE_WRITE_THROUGH has already put the rename on the disk.
int SyncFolder(const QString&) {
  return 0;
}

// Windows files have no owner and group of this kind; a new file's access rights come from its folder.
int KeepOwner(int, uint32_t, uint32_t) {
  return 0;
}

// The permission bits are a reading of the read-only attribute, which a replaced file does not carry over
// (a read-only file cannot be replaced in the first place).
int KeepMode(int, uint32_t) {
  return 0;
}

// Links belong to no user that could plant one for another.
std::optional<QString> ForeignLink(const QString&) {
  return std::nullopt;
}

std::optional<ReplacementTarget> ExamineReplacementTarget(const QString& path, QString* reason) {
  ReplacementTarget target;
  target.path = path;
  const QFileInfo info(path);
  target.link = info.isSymbolicLink() || info.isJunction();
  if (!target.link && !info.exists()) return target;
  if (target.link) {
    if (!info.exists()) {
      *reason = path + QStringLiteral(": the link leads nowhere");
      return std::nullopt;
    }
    target.path = info.canonicalFilePath();
  }
  if (StatPath(target.path, &target.status) != 0) {
    if (errno == ENOENT && !target.link) return ReplacementTarget{path, false, false, {}};
    *reason = path + QStringLiteral(": cannot be examined: ") + ErrorText(errno);
    return std::nullopt;
  }
  target.exists = true;
  return target;
}

LockFileHandle OpenLockFile(const QString& path, QString* reason) {
  const std::wstring native = Wide(path);
  HANDLE handle = CreateFileW(native.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN, nullptr);
  DWORD error = GetLastError();
  // A lock file another user made may be readable only: a read-only handle locks it just as well.
  if (handle == INVALID_HANDLE_VALUE && error == ERROR_ACCESS_DENIED) {
    handle = CreateFileW(native.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetFileAttributesW(native.c_str()) != INVALID_FILE_ATTRIBUTES &&
        (GetFileAttributesW(native.c_str()) & FILE_ATTRIBUTE_DIRECTORY)) {
      *reason = path + QStringLiteral(": is a folder, not a regular file");
      return kNoLockFile;
    }
  }
  if (handle == INVALID_HANDLE_VALUE) {
    *reason = path + QStringLiteral(": cannot be opened: ") + qt_error_string(static_cast<int>(error));
    return kNoLockFile;
  }
  return reinterpret_cast<LockFileHandle>(handle);
}

LockTry TryLockFile(LockFileHandle file, QString* reason) {
  OVERLAPPED first{};
  if (LockFileEx(reinterpret_cast<HANDLE>(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                 &first)) {
    return LockTry::Taken;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return LockTry::HeldElsewhere;
  *reason = qt_error_string(static_cast<int>(error));
  return LockTry::Failed;
}

void CloseLockFile(LockFileHandle file) {
  if (file != kNoLockFile) CloseHandle(reinterpret_cast<HANDLE>(file));
}

QString ErrorText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace platform

// The Windows heap has no such settings.
void GrowHeapInLargeSteps() {}
