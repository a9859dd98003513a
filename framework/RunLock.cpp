#include "framework/RunLock.h"

#include <QFile>

#include <algorithm>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// How often a held lock is tried again while waiting.
constexpr std::chrono::milliseconds kPoll{20};

// Waits a little before the next try; false when the wait is over.
bool WaitForNextTry(std::chrono::steady_clock::time_point deadline) {
  const auto now = std::chrono::steady_clock::now();
  if (now >= deadline) return false;
  std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kPoll, deadline - now));
  return true;
}

}  // namespace

RunLock::RunLock(const QString& folder, std::chrono::milliseconds timeout) {
  const QString path = folder + QStringLiteral("/") + FileName();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
#ifdef _WIN32
  QString native = path;
  native.replace(u'/', u'\\');
  HANDLE handle = CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    reason_ =
        path + QStringLiteral(": cannot be opened: ") + qt_error_string(static_cast<int>(GetLastError()));
    return;
  }
  handle_ = handle;
  for (;;) {
    OVERLAPPED whole{};
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
      result_ = Result::Acquired;
      return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
      reason_ = path + QStringLiteral(": cannot be locked: ") + qt_error_string(static_cast<int>(error));
      return;
    }
    if (!WaitForNextTry(deadline)) break;
  }
#else
  // Non-blocking and without following a link: the lock file is ours, and nothing in its place can
  // make the open wait.
  const QByteArray native = QFile::encodeName(path);
  constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  fd_ = ::open(native.constData(), O_RDWR | O_CREAT | kFlags, 0666);
  const int openError = errno;
  // A lock file another user made may be readable only: a read-only open locks it just as well.
  if (fd_ < 0 && openError == EACCES) fd_ = ::open(native.constData(), O_RDONLY | kFlags);
  struct stat st {};
  if (fd_ < 0) {
    reason_ =
        path + (openError == ELOOP ? QStringLiteral(": is a symbolic link, not a regular file")
                                   : QStringLiteral(": cannot be opened: ") + qt_error_string(openError));
    return;
  }
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    reason_ = path + QStringLiteral(": is ") +
              (S_ISDIR(st.st_mode)    ? QStringLiteral("a folder")
               : S_ISFIFO(st.st_mode) ? QStringLiteral("a FIFO")
                                      : QStringLiteral("no regular file")) +
              QStringLiteral(", not a regular file");
    return;
  }
  for (;;) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      result_ = Result::Acquired;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      reason_ = path + QStringLiteral(": cannot be locked: ") + qt_error_string(errno);
      return;
    }
    if (!WaitForNextTry(deadline)) break;
  }
#endif
  result_ = Result::TimedOut;
  reason_ = path + QStringLiteral(": another run holds the lock");
}

RunLock::~RunLock() {
  // Closing the file releases the lock.
#ifdef _WIN32
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
#else
  if (fd_ >= 0) ::close(fd_);
#endif
}
