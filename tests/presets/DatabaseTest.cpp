#include "framework/ErrorTrap.h"
#include "presets/Database.h"
#include "presets/DatabaseScript.h"
#include "presets/FileOps.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

TEST(DatabaseTest, TextsEqualWithoutRegardToCaseHashAlike) {
  // Plain ASCII is hashed eight bytes at a time; a text that folds to plain ASCII ("K" as the Kelvin
  // sign, "ſ" as "s") must get the hash of that ASCII text.
  const std::pair<const char*, const char*> equal[] = {{"Var_Name", "VAR_NAME"},
                                                       {"M1.Docu.Key_Zone_A", "m1.docu.KEY_zONE_a"},
                                                       {"K", "\u212A"},
                                                       {"class", "CLA\u017F\u017F"},
                                                       {"\u00DC", "\u00FC"}};
  for (const auto& [a, b] : equal) {
    EXPECT_EQ(db::CompareNoCase(a, b), 0) << a;
    EXPECT_EQ(db::FoldedHash(a), db::FoldedHash(b)) << a;
  }
  // Bytes next to the letters, which differ from them by the case bit, stay what they are.
  const std::pair<const char*, const char*> different[] = {
      {"[", "{"}, {"@", "`"}, {"name_", "name\x7f"}, {"A1", "a2"}, {"12345678a", "12345678b"}};
  for (const auto& [a, b] : different) EXPECT_NE(db::FoldedHash(a), db::FoldedHash(b)) << a;
}

TEST(DatabaseTest, OpensExistingFilesOnlyAndReportsSqliteErrors) {
  QTemporaryDir dir;
  const QString missing = dir.filePath(QStringLiteral("missing.mdb"));
  try {
    db::Connection::Open(missing);
    FAIL() << "opened a missing file";
  } catch (const AppError& e) {
    EXPECT_EQ(e.number, 14);  // SQLITE_CANTOPEN
    EXPECT_EQ(e.source, "SQLite");
    EXPECT_EQ(e.description, "unable to open database file");
  }
  EXPECT_FALSE(QFile::exists(missing));

  const QString path = dir.filePath(QStringLiteral("a.mdb"));
  CreateDatabaseFromSql(path,
                        "CREATE TABLE T (Name TEXT(50) NOT NULL, Size DOUBLE);"
                        "INSERT INTO T VALUES ('ÄRGER', 1), ('Ärger', 2), ('aerger', 3);");
  db::Connection connection = db::Connection::Open(path);
  db::Statement match =
      connection.Prepare(QStringLiteral("SELECT count(*) FROM T WHERE Name = ?1 COLLATE UNICODE_NOCASE"));
  match.BindText(1, QStringLiteral("ärger"));
  ASSERT_TRUE(match.Step());
  EXPECT_EQ(match.ColumnInt(0), 2);

  EXPECT_EQ(connection.FindTable(QStringLiteral("t")), QStringLiteral("T"));
  EXPECT_FALSE(connection.FindTable(QStringLiteral("PRESET_DEFS")));
  const std::vector<db::FieldDef> fields = connection.Fields(QStringLiteral("T"));
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0].declaredType, "TEXT(50)");
  try {
    connection.Exec(QStringLiteral("INSERT INTO T VALUES (NULL, 1)"));
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.number, 1299);  // SQLITE_CONSTRAINT_NOTNULL: the extended code
  }
}

TEST(DatabaseTest, CopiesWholeFilesAtomicallyAndDropsTheTargetsStaleJournal) {
  QTemporaryDir dir;
  const QString source = dir.filePath(QStringLiteral("s.mdb"));
  const QString target = dir.filePath(QStringLiteral("t.mdb"));
  WriteFile(source, QByteArray(3 << 20, 'x') + "end");
  WriteFile(target, "old");
  WriteFile(target + QStringLiteral("-journal"), "stale");
  CopyFileAtomically(source, target);
  EXPECT_EQ(ReadFile(target), ReadFile(source));
  EXPECT_FALSE(QFile::exists(target + QStringLiteral("-journal")));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // no temporary file left

  try {
    CopyFileAtomically(dir.filePath(QStringLiteral("none.mdb")), target);
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.number, kErrFileNotFound);
  }
  EXPECT_EQ(ReadFile(target), ReadFile(source));
}

// The project database as a link, a full disk, a link to a device: the copy goes to the link's regular
// file and keeps that file's mode, or fails with error 75 and leaves the target as it was.
TEST(DatabaseTest, CopyWritesThroughALinkKeepsTheTargetsModeAndFailsWithoutHarm) {
#ifdef _WIN32
  GTEST_SKIP() << "needs symbolic links, POSIX permissions, a file size limit and /dev/null";
#else
  QTemporaryDir dir;
  const QString source = dir.filePath(QStringLiteral("s.mdb"));
  const QString real = dir.filePath(QStringLiteral("real.mdb"));
  const QString link = dir.filePath(QStringLiteral("project.mdb"));
  WriteFile(source, QByteArray(64 << 10, 'n'));
  WriteFile(real, "old");
  QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner);
  ASSERT_TRUE(QFile::link(real, link));
  CopyFileAtomically(source, link);
  EXPECT_EQ(ReadFile(real), ReadFile(source));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(QFile::permissions(real),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
  const QString fresh = dir.filePath(QStringLiteral("fresh.mdb"));
  CopyFileAtomically(source, fresh);
  EXPECT_EQ(QFile::permissions(fresh), QFile::permissions(source));

  QString reason;
  const auto copyError = [&](const QString& target) {
    try {
      CopyFileAtomically(source, target);
    } catch (const AppError& e) {
      EXPECT_TRUE(e.description.startsWith(QStringLiteral("Path/File access error: "))) << e.what();
      reason = e.description;
      return e.number;
    }
    return 0;
  };
  WriteFile(real, "old");
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit full = old;
  full.rlim_cur = 16 << 10;  // a disk that is full after 16 KiB
  setrlimit(RLIMIT_FSIZE, &full);
  const int fullDisk = copyError(link);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(fullDisk, kErrFileAccess);
  EXPECT_TRUE(reason.contains(QStringLiteral("File too large"))) << reason.toStdString();  // the reason
  EXPECT_EQ(ReadFile(real), "old");

  const QString toNull = dir.filePath(QStringLiteral("null.mdb"));
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), toNull));
  EXPECT_EQ(copyError(toNull), kErrFileAccess);
  EXPECT_TRUE(reason.contains(QStringLiteral("leads to a device"))) << reason.toStdString();
  EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile());
  EXPECT_EQ(QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
            QStringList({"fresh.mdb", "null.mdb", "project.mdb", "real.mdb", "s.mdb"}));
#endif
}
