#include "framework/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace {

// ---- The few platform calls everything below is built on. Both work on C runtime file descriptors.

#ifdef _WIN32

using StatBuf = struct _stat64;
constexpr int kReadFlags = _O_RDONLY;
constexpr int kAppendFlags = _O_WRONLY | _O_APPEND | _O_CREAT;
constexpr int kCreateFlags = _O_WRONLY | _O_CREAT | _O_EXCL;
constexpr int kNewFilePermissions = _S_IREAD | _S_IWRITE;
constexpr int kPrivatePermissions = _S_IREAD | _S_IWRITE;

std::wstring Wide(const QString& path) {
  QString native = path;
  native.replace(u'/', u'\\');
  return native.toStdWString();
}
int OpenPath(const QString& path, int flags, int permissions) {
  return _wopen(Wide(path).c_str(), flags | _O_BINARY | _O_NOINHERIT, permissions);
}
int StatPath(const QString& path, StatBuf* st) {
  return _wstat64(Wide(path).c_str(), st);
}
int StatDescriptor(int fd, StatBuf* st) {
  return _fstat64(fd, st);
}
bool IsRegular(const StatBuf& st) {
  return (st.st_mode & _S_IFMT) == _S_IFREG;
}
QString KindText(const StatBuf& st) {
  if ((st.st_mode & _S_IFMT) == _S_IFDIR) return QStringLiteral("a folder");
  if ((st.st_mode & _S_IFMT) == _S_IFCHR) return QStringLiteral("a device");
  return QStringLiteral("no regular file");
}
qint64 ReadDescriptor(int fd, char* buffer, qint64 max) {
  return _read(fd, buffer, static_cast<unsigned>(std::min<qint64>(max, 1 << 30)));
}
qint64 WriteDescriptor(int fd, const char* data, qint64 size) {
  return _write(fd, data, static_cast<unsigned>(std::min<qint64>(size, 1 << 30)));
}
int SyncDescriptor(int fd) {
  return _commit(fd);
}
constexpr int kRewriteFlags = _O_WRONLY;
int SeekDescriptor(int fd, qint64 offset) {
  return _lseeki64(fd, offset, SEEK_SET) < 0 ? -1 : 0;
}
int TruncateDescriptor(int fd, qint64 size) {
  return _chsize_s(fd, size) == 0 ? 0 : -1;
}
unsigned LinkCount(const StatBuf& st) {
  return static_cast<unsigned>(st.st_nlink);
}
int CloseDescriptor(int fd) {
  return _close(fd);
}
void RemovePath(const QString& path) {
  _wunlink(Wide(path).c_str());
}
// Renames over an existing file; returns the reason on failure.
std::optional<QString> RenameOver(const QString& from, const QString& to) {
  if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return std::nullopt;
  }
  return qt_error_string(static_cast<int>(GetLastError()));
}
// MOVEFILE_WRITE_THROUGH has already put the rename on the disk.
int SyncFolder(const QString&) {
  return 0;
}
// Links belong to no user that could plant one for another.
std::optional<QString> ForeignLink(const QString&) {
  return std::nullopt;
}

#else

using StatBuf = struct stat;
// Non-blocking opens: a FIFO or device that slipped in between the check and the open never blocks.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY;
constexpr int kAppendFlags = O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY;
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
constexpr int kNewFilePermissions = 0666;  // less the umask, as any new file
constexpr int kPrivatePermissions = 0600;  // until the old file's mode is set at the commit

int OpenPath(const QString& path, int flags, int permissions) {
  const QByteArray native = QFile::encodeName(path);
  int fd;
  do {
    fd = ::open(native.constData(), flags | O_CLOEXEC, permissions);
  } while (fd < 0 && errno == EINTR);
  return fd;
}
int StatPath(const QString& path, StatBuf* st) {
  return ::stat(QFile::encodeName(path).constData(), st);
}
int StatDescriptor(int fd, StatBuf* st) {
  return ::fstat(fd, st);
}
bool IsRegular(const StatBuf& st) {
  return S_ISREG(st.st_mode);
}
QString KindText(const StatBuf& st) {
  if (S_ISDIR(st.st_mode)) return QStringLiteral("a folder");
  if (S_ISFIFO(st.st_mode)) return QStringLiteral("a FIFO");
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return QStringLiteral("a device");
  if (S_ISSOCK(st.st_mode)) return QStringLiteral("a socket");
  return QStringLiteral("no regular file");
}
qint64 ReadDescriptor(int fd, char* buffer, qint64 max) {
  ssize_t n;
  do {
    n = ::read(fd, buffer, static_cast<size_t>(std::min<qint64>(max, 1 << 30)));
  } while (n < 0 && errno == EINTR);
  return n;
}
qint64 WriteDescriptor(int fd, const char* data, qint64 size) {
  ssize_t n;
  do {
    n = ::write(fd, data, static_cast<size_t>(std::min<qint64>(size, 1 << 30)));
  } while (n < 0 && errno == EINTR);
  return n;
}
int SyncDescriptor(int fd) {
  return ::fsync(fd);
}
constexpr int kRewriteFlags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
int SeekDescriptor(int fd, qint64 offset) {
  return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0 ? -1 : 0;
}
int TruncateDescriptor(int fd, qint64 size) {
  int result;
  do {
    result = ::ftruncate(fd, static_cast<off_t>(size));
  } while (result != 0 && errno == EINTR);
  return result;
}
unsigned LinkCount(const StatBuf& st) {
  return static_cast<unsigned>(st.st_nlink);
}
int CloseDescriptor(int fd) {
  // After EINTR the descriptor is closed all the same (Linux); only a real failure counts.
  return ::close(fd) != 0 && errno != EINTR ? -1 : 0;
}
void RemovePath(const QString& path) {
  ::unlink(QFile::encodeName(path).constData());
}
std::optional<QString> RenameOver(const QString& from, const QString& to) {
  if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
    return std::nullopt;
  }
  return qt_error_string(errno);
}
// Puts the folder's entries (the rename) on the disk. A folder that cannot be opened for reading, or a
// file system that cannot sync folders, is left as it is: there is nothing more we can do for it.
int SyncFolder(const QString& folder) {
  const int fd = OpenPath(folder, O_RDONLY | O_DIRECTORY, 0);
  if (fd < 0) return 0;
  const int result = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
  ::close(fd);
  return result;
}

// As root, a symbolic link is followed only when it belongs to root or to the owner of the file it
// leads to (the rule Linux applies to links in shared folders): a link that an ordinary user put into a
// writable project folder must not make the program write a file of someone else's. Every link of a
// chain is checked. Gives the reason to refuse, or nothing.
std::optional<QString> ForeignLink(const QString& path) {
  if (::geteuid() != 0) return std::nullopt;
  QByteArray current = QFile::encodeName(path);
  struct stat target {};
  if (::stat(current.constData(), &target) != 0) return std::nullopt;  // nothing to follow to
  for (int hop = 0; hop < 40; ++hop) {
    struct stat link {};
    if (::lstat(current.constData(), &link) != 0 || !S_ISLNK(link.st_mode)) return std::nullopt;
    if (link.st_uid != 0 && link.st_uid != target.st_uid) {
      return path + QStringLiteral(": is a link of user %1 to a file of user %2, which is not followed")
                        .arg(link.st_uid)
                        .arg(target.st_uid);
    }
    QByteArray next(4096, Qt::Uninitialized);
    const ssize_t n = ::readlink(current.constData(), next.data(), static_cast<size_t>(next.size()));
    if (n <= 0 || n >= next.size()) return std::nullopt;
    next.resize(n);
    if (!next.startsWith('/')) next = current.left(current.lastIndexOf('/') + 1) + next;
    current = next;
  }
  return std::nullopt;
}

#endif

QString Problem(const QString& path, const QString& what) {
  return path + QStringLiteral(": ") + what;
}
QString Problem(const QString& path, const QString& what, int error) {
  return path + QStringLiteral(": ") + what + QStringLiteral(": ") + qt_error_string(error);
}

// Writes all bytes; returns 0 or the error number.
int WriteAll(int fd, QByteArrayView bytes) {
  const char* data = bytes.data();
  qint64 left = bytes.size();
  while (left > 0) {
    const qint64 n = WriteDescriptor(fd, data, left);
    if (n < 0) return errno;
    if (n == 0) return EIO;
    data += n;
    left -= n;
  }
  return 0;
}

QString FolderOf(const QString& path) {
  return QFileInfo(path).absolutePath();
}

// Where a replacement writes: the path itself, or the regular file a link at the path leads to.
struct ReplacementTarget {
  QString path;
  bool exists = false;
  StatBuf st{};
};

std::optional<ReplacementTarget> Resolve(const QString& path, QString* reason) {
  ReplacementTarget target;
  target.path = path;
#ifdef _WIN32
  const QFileInfo info(path);
  const bool link = info.isSymbolicLink() || info.isJunction();
  if (!link && !info.exists()) return target;
  if (link) {
    if (!info.exists()) {
      *reason = Problem(path, QStringLiteral("the link leads nowhere"));
      return std::nullopt;
    }
    target.path = info.canonicalFilePath();
  }
  if (StatPath(target.path, &target.st) != 0) {
    *reason = Problem(path, QStringLiteral("cannot be examined"), errno);
    return std::nullopt;
  }
#else
  const QByteArray native = QFile::encodeName(path);
  if (::lstat(native.constData(), &target.st) != 0) {
    if (errno == ENOENT) return target;
    *reason = Problem(path, QStringLiteral("cannot be examined"), errno);
    return std::nullopt;
  }
  const bool link = S_ISLNK(target.st.st_mode);
  if (link) {
    if (::stat(native.constData(), &target.st) != 0) {
      *reason = errno == ENOENT ? Problem(path, QStringLiteral("the link leads nowhere"))
                                : Problem(path, QStringLiteral("the link cannot be followed"), errno);
      return std::nullopt;
    }
    if (const auto foreign = ForeignLink(path)) {
      *reason = *foreign;
      return std::nullopt;
    }
    char* real = ::realpath(native.constData(), nullptr);
    if (real == nullptr) {
      *reason = Problem(path, QStringLiteral("the link cannot be followed"), errno);
      return std::nullopt;
    }
    target.path = QFile::decodeName(real);
    std::free(real);
  }
#endif
  if (!IsRegular(target.st)) {
    *reason = link ? Problem(path, QStringLiteral("the link leads to ") + KindText(target.st) +
                                       QStringLiteral(", not to a regular file"))
                   : Problem(path, QStringLiteral("is ") + KindText(target.st) +
                                       QStringLiteral(", not a regular file"));
    return std::nullopt;
  }
  target.exists = true;
  return target;
}

// A new, unused name beside the file: "." + its name + "." + six random characters.
QString TemporaryName(const QString& target) {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  const QFileInfo info(target);
  QString name = info.absolutePath() + QStringLiteral("/.") + info.fileName() + u'.';
  for (int i = 0; i < 6; ++i) name += QChar::fromLatin1(kChars[QRandomGenerator::global()->bounded(62)]);
  return name;
}

}  // namespace

// ---- Reading

RegularFileReader::RegularFileReader(const QString& path) : path_(path) {
  StatBuf st{};
  if (path.isEmpty()) {
    status_ = Status::Missing;
    return;
  }
  if (StatPath(path, &st) != 0) {
    status_ = errno == ENOENT || errno == ENOTDIR ? Status::Missing : Status::Failed;
    reason_ = Problem(path, QStringLiteral("cannot be examined"), errno);
    return;
  }
  if (!IsRegular(st)) {
    reason_ = Problem(path, QStringLiteral("is ") + KindText(st) + QStringLiteral(", not a regular file"));
    return;
  }
  fd_ = OpenPath(path, kReadFlags, 0);
  if (fd_ < 0) {
    status_ = errno == ENOENT ? Status::Missing : Status::Failed;
    reason_ = Problem(path, QStringLiteral("cannot be opened"), errno);
    return;
  }
  // The file may have been swapped between the check and the open.
  if (StatDescriptor(fd_, &st) != 0 || !IsRegular(st)) {
    reason_ = Problem(path, QStringLiteral("is no regular file"));
    CloseDescriptor(fd_);
    fd_ = -1;
    return;
  }
#ifndef _WIN32
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
#endif
  size_ = static_cast<qint64>(st.st_size);
  mode_ = static_cast<uint32_t>(st.st_mode) & 07777u;
  status_ = Status::Open;
}

RegularFileReader::~RegularFileReader() {
  if (fd_ >= 0) CloseDescriptor(fd_);
}

qint64 RegularFileReader::Read(char* buffer, qint64 max) {
  if (status_ != Status::Open) return -1;
  const qint64 n = ReadDescriptor(fd_, buffer, max);
  if (n < 0) {
    status_ = Status::Failed;
    reason_ = Problem(path_, QStringLiteral("cannot be read"), errno);
  }
  return n;
}

// ---- Appending

FileResult AppendToRegularFile(const QString& path, QByteArrayView bytes) {
  if (path.isEmpty()) return FileResult::Failure(QStringLiteral("no file name"));
  StatBuf st{};
  const bool existed = StatPath(path, &st) == 0;
  if (existed && !IsRegular(st)) {
    return FileResult::Failure(
        Problem(path, QStringLiteral("is ") + KindText(st) + QStringLiteral(", not a regular file")));
  }
  if (const auto foreign = ForeignLink(path)) return FileResult::Failure(*foreign);
  const StatBuf checked = st;
  const int fd = OpenPath(path, kAppendFlags, kNewFilePermissions);
  if (fd < 0) return FileResult::Failure(Problem(path, QStringLiteral("cannot be opened"), errno));
  FileResult result;
  if (StatDescriptor(fd, &st) != 0 || !IsRegular(st)) {
    result = FileResult::Failure(Problem(path, QStringLiteral("is no regular file")));
  } else if (existed && (st.st_ino != checked.st_ino || st.st_dev != checked.st_dev)) {
    // Swapped between the check and the open: what was opened is not what was checked.
    result = FileResult::Failure(Problem(path, QStringLiteral("changed while it was opened")));
  } else if (const int error = WriteAll(fd, bytes)) {
    result = FileResult::Failure(Problem(path, QStringLiteral("cannot be written"), error));
  }
  if (CloseDescriptor(fd) != 0 && result.ok) {
    result = FileResult::Failure(Problem(path, QStringLiteral("cannot be closed"), errno));
  }
  return result;
}

// ---- Replacing

FileReplacement::FileReplacement(const QString& path, std::optional<uint32_t> newFileMode,
                                 HardLinks hardLinks)
    : path_(path), newFileMode_(newFileMode) {
  if (path.isEmpty()) {
    Fail(QStringLiteral("no file name"));
    return;
  }
  QString reason;
  const auto target = Resolve(path, &reason);
  if (!target) {
    status_ = FileResult::Failure(reason);
    return;
  }
  target_ = target->path;
  existed_ = target->exists;
  if (existed_) {
    oldMode_ = static_cast<uint32_t>(target->st.st_mode) & 07777u;
#ifndef _WIN32
    oldOwner_ = target->st.st_uid;
    oldGroup_ = target->st.st_gid;
#endif
    inPlace_ = hardLinks == HardLinks::RewriteInPlace && LinkCount(target->st) > 1;
    if (inPlace_) return;
  }
  // The temporary file is private until the commit gives it the old file's mode; a new file without a
  // chosen mode gets the mode any new file would get.
  const int permissions = existed_ || newFileMode_ ? kPrivatePermissions : kNewFilePermissions;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = TemporaryName(target_);
    fd_ = OpenPath(temp_, kCreateFlags, permissions);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int error = errno;
    temp_.clear();
    Fail(QStringLiteral("no temporary file can be made in ") + FolderOf(target_), error);
  }
}

FileReplacement::~FileReplacement() {
  RemoveTemporary();
}

void FileReplacement::RemoveTemporary() {
  if (fd_ >= 0) CloseDescriptor(fd_);
  fd_ = -1;
  if (!committed_ && !temp_.isEmpty()) RemovePath(temp_);
  temp_.clear();
}

void FileReplacement::Fail(const QString& what, int error) {
  if (status_.ok) status_ = FileResult::Failure(Problem(target_.isEmpty() ? path_ : target_, what, error));
  RemoveTemporary();
}

void FileReplacement::Fail(const QString& what) {
  if (status_.ok) status_ = FileResult::Failure(Problem(target_.isEmpty() ? path_ : target_, what));
  RemoveTemporary();
}

FileResult FileReplacement::Write(QByteArrayView bytes) {
  if (!status_.ok) return status_;
  if (committed_) {
    Fail(QStringLiteral("written after the commit"));
  } else if (inPlace_) {
    inPlaceContent_.append(bytes);
  } else if (const int error = WriteAll(fd_, bytes)) {
    Fail(QStringLiteral("cannot be written"), error);
  }
  return status_;
}

FileResult FileReplacement::Commit() {
  if (!status_.ok || committed_) return status_;
  if (inPlace_) return CommitInPlace();
#ifndef _WIN32
  // Owner first: changing it may clear set-user and set-group bits that the mode then restores.
  StatBuf st{};
  if (::fstat(fd_, &st) != 0) {
    Fail(QStringLiteral("cannot be examined"), errno);
    return status_;
  }
  if (existed_ && (st.st_uid != oldOwner_ || st.st_gid != oldGroup_) &&
      ::fchown(fd_, oldOwner_, oldGroup_) != 0 && errno != EPERM) {
    Fail(QStringLiteral("cannot keep its owner"), errno);
    return status_;
  }
  const std::optional<uint32_t> mode = existed_ ? std::optional<uint32_t>(oldMode_) : newFileMode_;
  // EPERM: a file system that keeps no modes.
  if (mode && ::fchmod(fd_, static_cast<mode_t>(*mode)) != 0 && errno != EPERM) {
    Fail(QStringLiteral("cannot keep its mode"), errno);
    return status_;
  }
#endif
  if (SyncDescriptor(fd_) != 0) {
    Fail(QStringLiteral("cannot be written to the disk"), errno);
    return status_;
  }
  const int fd = fd_;
  fd_ = -1;
  if (CloseDescriptor(fd) != 0) {
    Fail(QStringLiteral("cannot be written to the disk"), errno);
    return status_;
  }
  if (const auto reason = RenameOver(temp_, target_)) {
    Fail(QStringLiteral("cannot be replaced: ") + *reason);
    return status_;
  }
  committed_ = true;
  temp_.clear();
  if (const int error = SyncFolder(FolderOf(target_))) {
    status_ = FileResult::Failure(Problem(
        target_, QStringLiteral("was replaced, but its folder cannot be written to the disk"), error));
  }
  return status_;
}

FileResult FileReplacement::CommitInPlace() {
  const int fd = OpenPath(target_, kRewriteFlags, 0);
  if (fd < 0) {
    Fail(QStringLiteral("cannot be opened for writing"), errno);
    return status_;
  }
  const auto failed = [&](const QString& what, int error) {
    CloseDescriptor(fd);
    Fail(what, error);
    return status_;
  };
  StatBuf st{};
  if (StatDescriptor(fd, &st) != 0) return failed(QStringLiteral("cannot be examined"), errno);
  if (!IsRegular(st)) {
    CloseDescriptor(fd);
    Fail(QStringLiteral("is no regular file"));
    return status_;
  }
  const qint64 oldSize = static_cast<qint64>(st.st_size);
  const QByteArrayView content(inPlaceContent_);
  const qint64 kept = std::min<qint64>(oldSize, content.size());
  // The part beyond the old end first: when the disk cannot take it, the file is cut back to its old
  // size and no old byte has changed.
  if (content.size() > oldSize) {
    int error = SeekDescriptor(fd, oldSize) != 0 ? errno : WriteAll(fd, content.sliced(oldSize));
    if (error != 0) {
      TruncateDescriptor(fd, oldSize);
      return failed(QStringLiteral("cannot be written"), error);
    }
  }
  if (SeekDescriptor(fd, 0) != 0) return failed(QStringLiteral("cannot be written"), errno);
  if (const int error = WriteAll(fd, content.first(kept)))
    return failed(QStringLiteral("cannot be written"), error);
  if (content.size() < oldSize && TruncateDescriptor(fd, content.size()) != 0) {
    return failed(QStringLiteral("cannot be written"), errno);
  }
  if (SyncDescriptor(fd) != 0) return failed(QStringLiteral("cannot be written to the disk"), errno);
  if (CloseDescriptor(fd) != 0) {
    Fail(QStringLiteral("cannot be written to the disk"), errno);
    return status_;
  }
  committed_ = true;
  return status_;
}

FileResult ReplaceFileContents(const QString& path, QByteArrayView bytes) {
  FileReplacement replacement(path);
  replacement.Write(bytes);
  return replacement.Commit();
}
