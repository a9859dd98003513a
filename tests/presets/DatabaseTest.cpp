#include "framework/ErrorTrap.h"
#include "presets/Database.h"
#include "presets/DatabaseScript.h"
#include "presets/FileOps.h"
#include "tests/support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

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
