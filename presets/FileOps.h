#pragma once
// Whole-file operations of the database update: the atomic copy of a database file and the file times
// that the source database gets back after the update.

#include <QDateTime>
#include <QString>

#include <filesystem>

std::filesystem::path ToFsPath(const QString& path);

// Copies the source file over the target through a temporary file in the target's folder and a rename
// (FileReplacement), so the target is always either the old or the complete new file, and a failed copy
// leaves it as it was. A target that is a symbolic link has the link's regular-file target replaced;
// any other kind of target is refused. A replaced target keeps its own mode (and owner, where the
// process may set it); a new one gets the source's mode. A stale rollback journal of the target is
// removed before the rename: SQLite would otherwise play it back into the new file.
// Raises error 53 when the source is missing and 75 when the copy cannot be made.
void CopyFileAtomically(const QString& source, const QString& target);

// The times of a file kept across the update. Only the last-write time can be set on Linux; on Windows
// the creation time is set as well. The last-access time is read but never set.
struct FileTimes {
  std::filesystem::file_time_type lastWrite;
  QDateTime creation;
  QDateTime lastAccess;
};

// Copies the source file to a throwaway target (the update's working copy) as fast as it can: no sync
// to the disk and no rename, since the copy is never needed after a crash. Only a regular file is read;
// whatever is at the target (a stale copy, a link) is removed first, with its rollback journal, and the
// new file is made afresh with the source's mode. Raises as CopyFileAtomically does.
void CopyFileQuickly(const QString& source, const QString& target);

// CopyFileQuickly of a database file with its rollback journal and write-ahead log, when it has them, so
// the copy is read as the database itself would be: a crashed writer's journal is rolled back, what was
// committed into the log is part of it.
void CopyDatabaseFilesQuickly(const QString& source, const QString& target);

// True when the file can be opened for writing (a read-only file keeps its times untouched).
bool CanOpenForWriting(const QString& path);
FileTimes ReadFileTimes(const QString& path);
void RestoreFileTimes(const QString& path, const FileTimes& times);
