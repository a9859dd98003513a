#pragma once
// One run at a time per project: an operating-system lock on a lock file in a folder of the project
// (flock on POSIX, LockFileEx on Windows). The lock belongs to this object's open file: it is released
// when the object is destroyed and, since the operating system drops it with the process, a run that is
// killed never blocks the next one. The lock file itself stays; it holds nothing.

#include <QString>

#include <chrono>
#include <cstdint>

class RunLock {
 public:
  enum class Result {
    Acquired,  // this object holds the lock
    TimedOut,  // another run held it during the whole wait
    Failed     // the lock file cannot be opened or locked; see reason()
  };

  // The lock file's name in the folder.
  static QString FileName() { return QStringLiteral(".Documentation.lock"); }

  // Takes the lock of the folder, waiting at most timeout for another run to release it (polling).
  RunLock(const QString& folder, std::chrono::milliseconds timeout);
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  Result result() const { return result_; }
  bool held() const { return result_ == Result::Acquired; }
  // Why the lock was not taken: the lock file and the operating system's reason, or the wait.
  const QString& reason() const { return reason_; }

 private:
  Result result_ = Result::Failed;
  QString reason_;
  std::intptr_t file_ = -1;  // the open lock file (platform::LockFileHandle)
};
