#include "framework/Platform.h"

#include "framework/HeapGrowth.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>  // defines __GLIBC__ where it applies
#include <cstring>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

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

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::Regular;
  if (S_ISDIR(mode)) return FileKind::Folder;
  if (S_ISFIFO(mode)) return FileKind::Fifo;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::Device;
  if (S_ISSOCK(mode)) return FileKind::Socket;
  return FileKind::Other;
}

void Fill(const struct stat& st, FileStatus* status) {
  status->kind = KindOf(st.st_mode);
  status->size = static_cast<qint64>(st.st_size);
  status->mode = static_cast<uint32_t>(st.st_mode) & 07777u;
  status->owner = st.st_uid;
  status->group = st.st_gid;
  status->device = static_cast<uint64_t>(st.st_dev);
  status->inode = static_cast<uint64_t>(st.st_ino);
  status->links = static_cast<unsigned>(st.st_nlink);
}

int OpenNative(const QByteArray& native, int flags, int permissions) {
  int fd;
  do {
    fd = ::open(native.constData(), flags | O_CLOEXEC, permissions);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

QString Problem(const QString& path, const QString& what) {
  return path + QStringLiteral(": ") + what;
}
QString Problem(const QString& path, const QString& what, int error) {
  return path + QStringLiteral(": ") + what + QStringLiteral(": ") + ErrorText(error);
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

QString ErrorText(int error) {
  return qt_error_string(error);
}

int OpenFile(const QString& path, FileOpen how) {
  // Non-blocking opens: a FIFO or device that slipped in between the check and the open never blocks.
  int flags = 0;
  int permissions = 0;
  switch (how) {
    case FileOpen::Read:
      flags = O_RDONLY | O_NONBLOCK | O_NOCTTY;
      break;
    case FileOpen::Append:
      flags = O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY;
      permissions = 0666;  // less the umask, as any new file
      break;
    case FileOpen::CreateNew:
      flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
      permissions = 0666;
      break;
    case FileOpen::CreatePrivate:
      flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
      permissions = 0600;  // until the old file's mode is set at the commit
      break;
    case FileOpen::Rewrite:
      flags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
      break;
  }
  return OpenNative(QFile::encodeName(path), flags, permissions);
}

int StatPath(const QString& path, FileStatus* status) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
  Fill(st, status);
  return 0;
}

int StatDescriptor(int fd, FileStatus* status) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  Fill(st, status);
  return 0;
}

void EndNonBlocking(int fd) {
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
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

int SyncFolder(const QString& folder) {
  const int fd = OpenNative(QFile::encodeName(folder), O_RDONLY | O_DIRECTORY, 0);
  if (fd < 0) return 0;
  const int result = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
  ::close(fd);
  return result;
}

int KeepOwner(int fd, uint32_t owner, uint32_t group) {
  // EPERM: a process that may not give files away keeps its own ownership, as a copy would.
  return ::fchown(fd, owner, group) != 0 && errno != EPERM ? errno : 0;
}

int KeepMode(int fd, uint32_t mode) {
  // EPERM: a file system that keeps no modes.
  return ::fchmod(fd, static_cast<mode_t>(mode)) != 0 && errno != EPERM ? errno : 0;
}

// As root, a symbolic link is followed only when it belongs to root or to the owner of the file it
// leads to (the rule Linux applies to links in shared folders): a link that an ordinary user put into a
// writable project folder must not make the program write a file of someone else's. Every link of a
// chain is checked.
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

std::optional<ReplacementTarget> ExamineReplacementTarget(const QString& path, QString* reason) {
  ReplacementTarget target;
  target.path = path;
  const QByteArray native = QFile::encodeName(path);
  struct stat st {};
  if (::lstat(native.constData(), &st) != 0) {
    if (errno == ENOENT) return target;
    *reason = Problem(path, QStringLiteral("cannot be examined"), errno);
    return std::nullopt;
  }
  target.link = S_ISLNK(st.st_mode);
  if (target.link) {
    if (::stat(native.constData(), &st) != 0) {
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
  Fill(st, &target.status);
  target.exists = true;
  return target;
}

LockFileHandle OpenLockFile(const QString& path, QString* reason) {
  // Non-blocking and without following a link: the lock file is ours, and nothing in its place can
  // make the open wait.
  const QByteArray native = QFile::encodeName(path);
  constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK;
  int fd = OpenNative(native, O_RDWR | O_CREAT | kFlags, 0666);
  const int openError = errno;
  // A lock file another user made may be readable only: a read-only open locks it just as well.
  if (fd < 0 && openError == EACCES) fd = OpenNative(native, O_RDONLY | kFlags, 0);
  if (fd < 0) {
    *reason =
        path + (openError == ELOOP ? QStringLiteral(": is a symbolic link, not a regular file")
                                   : QStringLiteral(": cannot be opened: ") + qt_error_string(openError));
    return kNoLockFile;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *reason = path + QStringLiteral(": is ") +
              (S_ISDIR(st.st_mode)    ? QStringLiteral("a folder")
               : S_ISFIFO(st.st_mode) ? QStringLiteral("a FIFO")
                                      : QStringLiteral("no regular file")) +
              QStringLiteral(", not a regular file");
    ::close(fd);
    return kNoLockFile;
  }
  return fd;
}

LockTry TryLockFile(LockFileHandle file, QString* reason) {
  if (::flock(static_cast<int>(file), LOCK_EX | LOCK_NB) == 0) return LockTry::Taken;
  if (errno == EWOULDBLOCK || errno == EINTR) return LockTry::HeldElsewhere;
  *reason = qt_error_string(errno);
  return LockTry::Failed;
}

void CloseLockFile(LockFileHandle file) {
  if (file != kNoLockFile) ::close(static_cast<int>(file));
}

}  // namespace platform

void GrowHeapInLargeSteps() {
#if defined(__GLIBC__)
  constexpr size_t kStep = size_t{64} << 20;
  mallopt(M_TOP_PAD, kStep);
  mallopt(M_MMAP_THRESHOLD, kStep / 2);
  // The next block makes the heap take its first step; what lies above it up to the end of the heap is
  // offered for huge pages. A block that did not come from the heap (another allocator, a heap that
  // could not grow) lies elsewhere: then nothing is offered.
  void* first = std::malloc(size_t{1} << 20);
  constexpr uintptr_t kPage = 4096;
  const uintptr_t from = (reinterpret_cast<uintptr_t>(first) + kPage - 1) & ~(kPage - 1);
  const uintptr_t to = reinterpret_cast<uintptr_t>(sbrk(0));
  if (first && to > from && to - from <= 2 * kStep)
    madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
  std::free(first);
#endif
}
