#include "framework/SafeFile.h"

#include "framework/Platform.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>

namespace {

using platform::CloseDescriptor;
using platform::FileKind;
using platform::FileOpen;
using platform::FileStatus;
using platform::ForeignLink;
using platform::OpenFile;
using platform::ReadDescriptor;
using platform::RemovePath;
using platform::RenameOver;
using platform::SeekDescriptor;
using platform::StatDescriptor;
using platform::StatPath;
using platform::SyncDescriptor;
using platform::SyncFolder;
using platform::TruncateDescriptor;
using platform::WriteDescriptor;

bool IsRegular(const FileStatus& st) {
  return st.kind == FileKind::Regular;
}
QString KindText(const FileStatus& st) {
  switch (st.kind) {
    case FileKind::Folder:
      return QStringLiteral("a folder");
    case FileKind::Fifo:
      return QStringLiteral("a FIFO");
    case FileKind::Device:
      return QStringLiteral("a device");
    case FileKind::Socket:
      return QStringLiteral("a socket");
    default:
      return QStringLiteral("no regular file");
  }
}

QString Problem(const QString& path, const QString& what) {
  return path + QStringLiteral(": ") + what;
}
QString Problem(const QString& path, const QString& what, int error) {
  return path + QStringLiteral(": ") + what + QStringLiteral(": ") + platform::ErrorText(error);
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
std::optional<platform::ReplacementTarget> Resolve(const QString& path, QString* reason) {
  auto target = platform::ExamineReplacementTarget(path, reason);
  if (!target || !target->exists) return target;
  if (!IsRegular(target->status)) {
    *reason = target->link ? Problem(path, QStringLiteral("the link leads to ") + KindText(target->status) +
                                               QStringLiteral(", not to a regular file"))
                           : Problem(path, QStringLiteral("is ") + KindText(target->status) +
                                               QStringLiteral(", not a regular file"));
    return std::nullopt;
  }
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
  FileStatus st;
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
  fd_ = OpenFile(path, FileOpen::Read);
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
  platform::EndNonBlocking(fd_);
  size_ = st.size;
  mode_ = st.mode;
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
  FileStatus st;
  const bool existed = StatPath(path, &st) == 0;
  if (existed && !IsRegular(st)) {
    return FileResult::Failure(
        Problem(path, QStringLiteral("is ") + KindText(st) + QStringLiteral(", not a regular file")));
  }
  if (const auto foreign = ForeignLink(path)) return FileResult::Failure(*foreign);
  const FileStatus checked = st;
  const int fd = OpenFile(path, FileOpen::Append);
  if (fd < 0) return FileResult::Failure(Problem(path, QStringLiteral("cannot be opened"), errno));
  FileResult result;
  if (StatDescriptor(fd, &st) != 0 || !IsRegular(st)) {
    result = FileResult::Failure(Problem(path, QStringLiteral("is no regular file")));
  } else if (existed && (st.inode != checked.inode || st.device != checked.device)) {
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
    oldMode_ = target->status.mode;
    oldOwner_ = target->status.owner;
    oldGroup_ = target->status.group;
    inPlace_ = hardLinks == HardLinks::RewriteInPlace && target->status.links > 1;
    if (inPlace_) return;
  }
  // The temporary file is private until the commit gives it the old file's mode; a new file without a
  // chosen mode gets the mode any new file would get.
  const FileOpen create = existed_ || newFileMode_ ? FileOpen::CreatePrivate : FileOpen::CreateNew;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = TemporaryName(target_);
    fd_ = OpenFile(temp_, create);
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
  // Owner first: changing it may clear set-user and set-group bits that the mode then restores.
  FileStatus st;
  if (StatDescriptor(fd_, &st) != 0) {
    Fail(QStringLiteral("cannot be examined"), errno);
    return status_;
  }
  if (existed_ && (st.owner != oldOwner_ || st.group != oldGroup_)) {
    if (const int error = platform::KeepOwner(fd_, oldOwner_, oldGroup_)) {
      Fail(QStringLiteral("cannot keep its owner"), error);
      return status_;
    }
  }
  const std::optional<uint32_t> mode = existed_ ? std::optional<uint32_t>(oldMode_) : newFileMode_;
  if (mode) {
    if (const int error = platform::KeepMode(fd_, *mode)) {
      Fail(QStringLiteral("cannot keep its mode"), error);
      return status_;
    }
  }
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
  const int fd = OpenFile(target_, FileOpen::Rewrite);
  if (fd < 0) {
    Fail(QStringLiteral("cannot be opened for writing"), errno);
    return status_;
  }
  const auto failed = [&](const QString& what, int error) {
    CloseDescriptor(fd);
    Fail(what, error);
    return status_;
  };
  FileStatus st;
  if (StatDescriptor(fd, &st) != 0) return failed(QStringLiteral("cannot be examined"), errno);
  if (!IsRegular(st)) {
    CloseDescriptor(fd);
    Fail(QStringLiteral("is no regular file"));
    return status_;
  }
  const qint64 oldSize = st.size;
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
