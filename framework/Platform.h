#pragma once
// What differs between the operating systems the program runs on. Each system has its own source file
// (Platform_posix.cpp, Platform_win.cpp), chosen by the build; nothing else asks which system it is.

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>

namespace platform {

// Whether paths follow the Windows rules: backslashes, no case of their own, "C:" drives.
bool WindowsPaths();
// The separator of the system's paths ("\" or "/").
QString PathSeparator();
// A path from a Windows-style configuration in the system's spelling (backslashes become slashes
// outside Windows).
QString NativeSeparators(const QString& path);
// The file name of the program's executable from its name (".exe" added on Windows).
QString ExecutableFileName(const QString& name);
// The running executable's path as the system knows it; empty when it cannot tell.
QString RunningExecutablePath();
// The first entry of the process environment ("NAME=value"); empty when there is none.
QString FirstEnvironmentEntry();
// Where the service log is written unless HALVEK_SERVICE_LOG names another file.
QString DefaultServiceLogPath();
// A path for std::filesystem in the encoding of the system's file names.
std::filesystem::path FileSystemPath(const QString& path);
// Sets a file's creation time where the system keeps one that can be set; elsewhere nothing happens.
void SetCreationTime(const QString& path, const QDateTime& time);
// Why the window system cannot be reached (no display set, the local X server not listening); nullopt
// when it can be, or when the system has no such display to check.
std::optional<QString> MissingDisplay();

// ---- Files through C runtime descriptors (the calls SafeFile is built on). Calls that fail return -1
// (or a non-zero error number where that is said) and leave the reason in errno.

// What kind of thing a path names.
enum class FileKind { Regular, Folder, Fifo, Device, Socket, Other };

// What the system tells about a file.
struct FileStatus {
  FileKind kind = FileKind::Other;
  qint64 size = 0;
  uint32_t mode = 0;  // POSIX permission bits (mode & 07777)
  uint32_t owner = 0;
  uint32_t group = 0;
  uint64_t device = 0;
  uint64_t inode = 0;
  unsigned links = 1;
};

// How a file is opened. Opens never block (a FIFO or device that slipped in between a check and the
// open does not make them wait) and the descriptor is not inherited by child processes.
enum class FileOpen {
  Read,           // read only
  Append,         // write at the end, created with the permissions of any new file when missing
  CreateNew,      // a new file that must not exist yet, with the permissions of any new file
  CreatePrivate,  // a new file that must not exist yet, readable and writable by its owner only
  Rewrite         // write into an existing file, from its start
};

// The text of a C runtime error number (errno).
QString ErrorText(int error);

int OpenFile(const QString& path, FileOpen how);
// The file a path names, following links; 0 or -1.
int StatPath(const QString& path, FileStatus* status);
int StatDescriptor(int fd, FileStatus* status);
// Makes reads of a file opened with FileOpen::Read wait for data again, as reads of files do.
void EndNonBlocking(int fd);
// Reads or writes up to max bytes (less when the system takes less); the count or -1.
qint64 ReadDescriptor(int fd, char* buffer, qint64 max);
qint64 WriteDescriptor(int fd, const char* data, qint64 size);
int SyncDescriptor(int fd);
int SeekDescriptor(int fd, qint64 offset);
int TruncateDescriptor(int fd, qint64 size);
int CloseDescriptor(int fd);
void RemovePath(const QString& path);
// Renames over an existing file; the reason on failure.
std::optional<QString> RenameOver(const QString& from, const QString& to);
// Puts a folder's entries (a rename) on the disk; 0 or the error number. A folder that cannot be opened,
// or a system that keeps no such state, counts as done.
int SyncFolder(const QString& folder);
// Gives a replacement file the owner and group of the file it replaces, where the process may set them;
// 0 or the error number. Where files have no such owner, nothing is done.
int KeepOwner(int fd, uint32_t owner, uint32_t group);
// Gives a file the POSIX permission bits; 0 or the error number. A file system that keeps no modes
// counts as done, as does a system without such bits.
int KeepMode(int fd, uint32_t mode);

// The file that a replacement of the path writes: the path itself, or the file a link there leads to.
struct ReplacementTarget {
  QString path;
  bool exists = false;
  bool link = false;
  FileStatus status;
};
// Examines the path for a replacement; nullopt with the reason (naming the path) when the path or the
// link there cannot be examined or followed, or is a link that is not to be followed.
std::optional<ReplacementTarget> ExamineReplacementTarget(const QString& path, QString* reason);
// Why a link at the path is not followed (as root, a link that belongs neither to root nor to the owner
// of its target); nullopt when it may be followed or is no link.
std::optional<QString> ForeignLink(const QString& path);

// ---- The run lock: an exclusive operating-system lock on a file (flock, LockFileEx), which belongs to
// the open file and goes with it, and with the process.

using LockFileHandle = std::intptr_t;
inline constexpr LockFileHandle kNoLockFile = -1;
enum class LockTry { Taken, HeldElsewhere, Failed };

// Opens (creating it when needed) the lock file; kNoLockFile with the reason on failure.
LockFileHandle OpenLockFile(const QString& path, QString* reason);
// Tries once to take the lock; the reason when it failed for another cause than a holder.
LockTry TryLockFile(LockFileHandle file, QString* reason);
// Closes the file, which releases the lock.
void CloseLockFile(LockFileHandle file);

}  // namespace platform
