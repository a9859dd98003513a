#include "presets/FileOps.h"
#include "presets/ProjectDatabaseHold.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

// The working copy is made without syncs, but never through whatever lies at its place: a stale copy's
// journal would be played back into the new copy, and a link would have its target overwritten.
TEST(CopyFileQuicklyTest, ReplacesWhatLiesAtTheTargetAndItsJournal) {
  QTemporaryDir dir;
  const QString source = dir.path() + QStringLiteral("/source.mdb");
  const QString target = dir.path() + QStringLiteral("/.copy.update");
  const QString elsewhere = dir.path() + QStringLiteral("/elsewhere");
  WriteFile(source, "new bytes");
  WriteFile(elsewhere, "kept");
#ifdef _WIN32
  WriteFile(target, "stale copy");  // Windows programs make no symbolic links: a stale copy lies there
#else
  ASSERT_TRUE(QFile::link(elsewhere, target));
#endif
  WriteFile(target + QStringLiteral("-journal"), "stale journal");
  QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

  CopyFileQuickly(source, target);
  EXPECT_FALSE(QFileInfo(target).isSymLink());
  EXPECT_EQ(ReadFile(target), "new bytes");
  EXPECT_EQ(ReadFile(elsewhere), "kept");
  EXPECT_FALSE(QFile::exists(target + QStringLiteral("-journal")));
#ifndef _WIN32  // Windows files have no group and other permission bits
  EXPECT_EQ(QFile::permissions(target) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
#endif

  // Only a regular file is copied.
  EXPECT_THROW(CopyFileQuickly(dir.path(), target), AppError);
  EXPECT_THROW(CopyFileQuickly(dir.path() + QStringLiteral("/missing"), target), AppError);
}

namespace {

// A database in write-ahead-log mode as a program leaves it that died before a checkpoint: the main file
// and a log holding committed rows (an image taken while its connection was still open).
void MakeWalImage(const QString& dir, const QString& target) {
  const QString live = dir + QStringLiteral("/live.mdb");
  db::Connection writer = db::Connection::Create(live);
  writer.Exec(QStringLiteral("CREATE TABLE PRESET_DEFS (var_name TEXT, abs_min DOUBLE)"));
  writer.Exec(QStringLiteral("INSERT INTO PRESET_DEFS VALUES ('a', 1)"));
  writer.Exec(QStringLiteral("PRAGMA journal_mode=WAL"));
  writer.Exec(QStringLiteral("UPDATE PRESET_DEFS SET abs_min = 42"));
  ASSERT_TRUE(QFile::copy(live, target));
  ASSERT_TRUE(QFile::copy(live + QStringLiteral("-wal"), target + QStringLiteral("-wal")));
}

QString Query(const QString& path, const QString& sql) {
  db::Connection connection = db::Connection::OpenAsIs(path, 0);
  db::Statement statement = connection.Prepare(sql);
  return statement.Step() ? statement.ColumnText(0) : QString();
}

}  // namespace

// The project database is read and written through SQLite: what a log holds is in the copy the values
// come from, the new content leaves no log to be replayed over it, and the file keeps every name.
TEST(ProjectDatabaseHoldTest, CopiesWhatTheLogHoldsAndWritesTheNewContentIntoTheFileItself) {
  QTemporaryDir dir;
  const QString project = dir.path() + QStringLiteral("/Documentation.mdb");
  const QString otherName = dir.path() + QStringLiteral("/linked.mdb");
  MakeWalImage(dir.path(), project);
  ASSERT_TRUE(QFile::exists(project + QStringLiteral("-wal")));
  ASSERT_NO_THROW(std::filesystem::create_hard_link(project.toStdU16String(), otherName.toStdU16String()));
  const QString source = dir.path() + QStringLiteral("/Documentation_Source.mdb");
  {
    db::Connection s = db::Connection::Create(source);
    s.Exec(QStringLiteral("CREATE TABLE PRESET_DEFS (var_name TEXT, abs_min DOUBLE)"));
    s.Exec(QStringLiteral("INSERT INTO PRESET_DEFS VALUES ('new', 7)"));
  }
  {
    ProjectDatabaseHold hold(project);
    hold.CopyTo(dir.path() + QStringLiteral("/copy.mdb"), ProjectDatabaseHold::Copy::Throwaway);
    EXPECT_EQ(
        Query(dir.path() + QStringLiteral("/copy.mdb"), QStringLiteral("SELECT abs_min FROM PRESET_DEFS")),
        "42.0");
    hold.ReplaceWith(source);
  }
  EXPECT_FALSE(QFile::exists(project + QStringLiteral("-wal")));
  EXPECT_FALSE(QFile::exists(project + QStringLiteral("-shm")));
  EXPECT_FALSE(QFile::exists(project + QStringLiteral("-journal")));
  EXPECT_EQ(Query(project, QStringLiteral("PRAGMA integrity_check")), "ok");
  EXPECT_EQ(Query(project, QStringLiteral("SELECT var_name || abs_min FROM PRESET_DEFS")), "new7.0");
  EXPECT_EQ(Query(otherName, QStringLiteral("SELECT var_name FROM PRESET_DEFS")), "new");
}

// While the update holds the project database, another program reads it but cannot commit: its commit
// fails for it instead of succeeding and being overwritten. A log another program still has open keeps
// the update from starting, with the reason.
TEST(ProjectDatabaseHoldTest, OtherProgramsReadButCannotCommitAndAnOpenLogRefusesTheHold) {
  QTemporaryDir dir;
  const QString project = dir.path() + QStringLiteral("/Documentation.mdb");
  {
    db::Connection p = db::Connection::Create(project);
    p.Exec(QStringLiteral("CREATE TABLE t (v INTEGER)"));
    p.Exec(QStringLiteral("INSERT INTO t VALUES (1)"));
  }
  {
    ProjectDatabaseHold hold(project);
    db::Connection other = db::Connection::OpenAsIs(project, 50);
    EXPECT_EQ(Query(project, QStringLiteral("SELECT v FROM t")), "1");
    EXPECT_THROW(other.Exec(QStringLiteral("UPDATE t SET v = 777")), AppError);
  }
  EXPECT_EQ(Query(project, QStringLiteral("SELECT v FROM t")), "1");

  db::Connection walWriter = db::Connection::OpenAsIs(project, 0);
  walWriter.Exec(QStringLiteral("PRAGMA journal_mode=WAL"));
  walWriter.Exec(QStringLiteral("UPDATE t SET v = 2"));
  try {
    ProjectDatabaseHold refused(project);
    ADD_FAILURE() << "the hold was taken while another program had the log open";
  } catch (const AppError& e) {
    EXPECT_EQ(e.number, kErrFileAccess);
    EXPECT_TRUE(e.description.contains("in use by another program")) << e.description.toStdString();
    EXPECT_TRUE(e.description.contains(project)) << e.description.toStdString();
  }
  EXPECT_EQ(Query(project, QStringLiteral("SELECT v FROM t")), "2");
}
