#pragma once
// Safe access to the files the program shares with other programs and people:
// - reads never block and take nothing but a regular file (a FIFO, device or folder in a file's place
//   is never opened);
// - appends report whether the bytes were written;
// - a whole file is replaced through a temporary file beside it and one rename, so that it is always
//   either the old or the complete new version, and a failure of any step leaves the old file as it was.

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

// The outcome of a file operation: success, or failure with a readable reason (which names the file).
// It converts to bool, true on success, so that callers that only test for success keep working.
struct FileResult {
  bool ok = true;
  QString reason;  // why the operation failed; empty on success

  static FileResult Success() { return {}; }
  static FileResult Failure(QString why) { return {false, std::move(why)}; }
  operator bool() const { return ok; }  // NOLINT(google-explicit-constructor): see above
};

// A regular file opened for reading. Opening never blocks: the path is examined first, and anything but
// a regular file (folder, FIFO, device, socket) is reported as Failed without being opened.
class RegularFileReader {
 public:
  enum class Status {
    Open,     // ready to read
    Missing,  // nothing at the path (or a symbolic link that leads nowhere)
    Failed    // something is there but cannot be read as a regular file; see reason()
  };

  explicit RegularFileReader(const QString& path);
  ~RegularFileReader();
  RegularFileReader(const RegularFileReader&) = delete;
  RegularFileReader& operator=(const RegularFileReader&) = delete;

  Status status() const { return status_; }
  const QString& reason() const { return reason_; }
  // The size when the file was opened: a hint, as the file may change while it is read.
  qint64 size() const { return size_; }
  // The file's permission bits (POSIX mode & 07777; 0 where the platform has none).
  uint32_t mode() const { return mode_; }
  // Reads up to max bytes: the count read, 0 at the end of the file, -1 on a read error (the status then
  // becomes Failed with the reason).
  qint64 Read(char* buffer, qint64 max);

 private:
  QString path_;
  int fd_ = -1;
  Status status_ = Status::Failed;
  QString reason_;
  qint64 size_ = 0;
  uint32_t mode_ = 0;
};

// Appends the bytes to a regular file with one open, write and close, creating the file when it is
// missing. Anything but a regular file at the path is a failure and is not written to.
FileResult AppendToRegularFile(const QString& path, QByteArrayView bytes);

// A new version of the file a path names. The bytes go to a temporary file in the same folder, which
// Commit puts in the file's place with one rename:
// - a path that is a symbolic link has the link's target replaced (the link stays a link), and only when
//   the target is a regular file; a path or target that is a folder, FIFO, device or socket, and a link
//   that leads nowhere, is refused and nothing is written;
// - a path where nothing exists yet becomes a new regular file;
// - every write, the flush to the disk, the rename and the sync of the folder are checked; the data is
//   on the disk before the rename;
// - a replaced file keeps its permission bits and, where the process may set them, its owner and group;
// - whatever fails, the temporary file is removed and the old file stays as it was, byte for byte.
//
// A file with more than one hard link would lose its other names to the rename (they keep the old
// content). With HardLinks::RewriteInPlace such a file is written into instead, as the Windows profile
// functions do: the new content is collected in memory and written over the old at the commit, the part
// beyond the old end first, so that a full disk fails before any old byte is overwritten.
class FileReplacement {
 public:
  enum class HardLinks { Split, RewriteInPlace };

  // newFileMode: the permission bits of a file that does not exist yet; without it, those any new file
  // gets (0666 less the umask).
  explicit FileReplacement(const QString& path, std::optional<uint32_t> newFileMode = std::nullopt,
                           HardLinks hardLinks = HardLinks::Split);
  // Without a successful Commit, removes the temporary file.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Success so far, or the first failure.
  const FileResult& status() const { return status_; }
  // The file that is replaced: the path itself, or the target of the link it names.
  const QString& target() const { return target_; }
  FileResult Write(QByteArrayView bytes);
  // Syncs the data, gives the new file the old one's mode and owner, renames it over the old file and
  // syncs the folder. After a failure nothing more is done and the failure is returned.
  FileResult Commit();

 private:
  void Fail(const QString& what, int error);
  void Fail(const QString& what);
  void RemoveTemporary();
  FileResult CommitInPlace();

  QString path_;
  QString target_;
  QString temp_;
  int fd_ = -1;
  FileResult status_;
  bool existed_ = false;
  bool committed_ = false;
  uint32_t oldMode_ = 0;
  uint32_t oldOwner_ = 0;
  uint32_t oldGroup_ = 0;
  std::optional<uint32_t> newFileMode_;
  bool inPlace_ = false;  // a file with other names: written into at the commit
  QByteArray inPlaceContent_;
};

// Replaces the file with the bytes, as FileReplacement does.
FileResult ReplaceFileContents(const QString& path, QByteArrayView bytes);
