#include "presets/FileOps.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The working copy is made without syncs, but never through whatever lies at its place: a stale copy's
// journal would be played back into the new copy, and a link would have its target overwritten.
TEST(CopyFileQuicklyTest, ReplacesWhatLiesAtTheTargetAndItsJournal) {
  QTemporaryDir dir;
  const QString source = dir.path() + QStringLiteral("/source.mdb");
  const QString target = dir.path() + QStringLiteral("/.copy.update");
  const QString elsewhere = dir.path() + QStringLiteral("/elsewhere");
  WriteFile(source, "new bytes");
  WriteFile(elsewhere, "kept");
  ASSERT_TRUE(QFile::link(elsewhere, target));
  WriteFile(target + QStringLiteral("-journal"), "stale journal");
  QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

  CopyFileQuickly(source, target);
  EXPECT_FALSE(QFileInfo(target).isSymLink());
  EXPECT_EQ(ReadFile(target), "new bytes");
  EXPECT_EQ(ReadFile(elsewhere), "kept");
  EXPECT_FALSE(QFile::exists(target + QStringLiteral("-journal")));
  EXPECT_EQ(QFile::permissions(target) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

  // Only a regular file is copied.
  EXPECT_THROW(CopyFileQuickly(dir.path(), target), AppError);
  EXPECT_THROW(CopyFileQuickly(dir.path() + QStringLiteral("/missing"), target), AppError);
}
