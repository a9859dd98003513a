#include "framework/RunLock.h"

#include "framework/Platform.h"

#include <algorithm>
#include <thread>

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
  file_ = platform::OpenLockFile(path, &reason_);
  if (file_ == platform::kNoLockFile) return;
  for (;;) {
    QString why;
    switch (platform::TryLockFile(file_, &why)) {
      case platform::LockTry::Taken:
        result_ = Result::Acquired;
        return;
      case platform::LockTry::Failed:
        reason_ = path + QStringLiteral(": cannot be locked: ") + why;
        return;
      case platform::LockTry::HeldElsewhere:
        break;
    }
    if (!WaitForNextTry(deadline)) break;
  }
  result_ = Result::TimedOut;
  reason_ = path + QStringLiteral(": another run holds the lock");
}

RunLock::~RunLock() {
  // Closing the file releases the lock.
  platform::CloseLockFile(file_);
}
