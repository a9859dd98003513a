#include "core/FieldRules.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(FieldRules, NetAddressKeepsOnlyTheFolder) {
  EXPECT_EQ(NetAddressFolder(QStringLiteral("\\\\srv\\docs\\manual.pdf")), QStringLiteral("\\\\srv\\docs"));
  // A last folder name with a point is taken for a file name, repeatedly.
  EXPECT_EQ(NetAddressFolder(QStringLiteral("\\\\srv\\docs\\arch.old")), QStringLiteral("\\\\srv\\docs"));
  EXPECT_EQ(NetAddressFolder(QStringLiteral("\\\\srv\\a.b\\c.d")), QStringLiteral("\\\\srv"));
  // Never within the first three characters; a trailing separator stays until OK or browsing.
  EXPECT_EQ(NetAddressFolder(QStringLiteral("\\\\a.b")), QStringLiteral("\\\\a.b"));
  EXPECT_EQ(NetAddressFolder(QStringLiteral("\\\\server\\share\\")), QStringLiteral("\\\\server\\share\\"));
  EXPECT_EQ(NetAddressFolder(QStringLiteral("\\\\server\\share")), QStringLiteral("\\\\server\\share"));
  // Paths picked on Linux use slashes.
  EXPECT_EQ(NetAddressFolder(QStringLiteral("/mnt/docs/a.pdf")), QStringLiteral("/mnt/docs"));
}

TEST(FieldRules, DriveCheckAcceptsOnlyGToX) {
  EXPECT_EQ(CheckDrive(QStringLiteral("g")).drive, QStringLiteral("G"));
  EXPECT_FALSE(CheckDrive(QStringLiteral("g")).fault);
  EXPECT_EQ(CheckDrive(QStringLiteral("x")).drive, QStringLiteral("X"));
  for (const char* bad : {"c", "1", "Y", "f"}) {
    const DriveCheck check = CheckDrive(QString::fromLatin1(bad));
    EXPECT_EQ(check.drive, QStringLiteral("X")) << bad;
    EXPECT_TRUE(check.fault) << bad;
  }
  // Deleting the letter or typing a second one gives X without a message.
  EXPECT_EQ(CheckDrive({}).drive, QStringLiteral("X"));
  EXPECT_FALSE(CheckDrive({}).fault);
  EXPECT_EQ(CheckDrive(QStringLiteral("GH")).drive, QStringLiteral("X"));
  EXPECT_FALSE(CheckDrive(QStringLiteral("GH")).fault);
}

TEST(FieldRules, DriveDefaultsAndLetters) {
  EXPECT_EQ(DefaultDrive(1), QStringLiteral("T"));
  EXPECT_EQ(DefaultDrive(5), QStringLiteral("X"));
  const QStringList letters = DriveLetters();
  ASSERT_EQ(letters.size(), 18);
  EXPECT_EQ(letters.front(), QStringLiteral("G"));
  EXPECT_EQ(letters.back(), QStringLiteral("X"));
}

TEST(FieldRules, FileDialogsStartInTheNearestExistingFolderOfThePreset) {
  QTemporaryDir dir;
  const QString root = dir.path();
  ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/docs/line1")));
  const QString fallback = QStringLiteral("/fallback");
  // A file, a missing file and a pattern start in their folder; a missing folder in its nearest parent.
  QFile file(root + QStringLiteral("/docs/line1/manual.pdf"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  EXPECT_EQ(DialogStartFolder(file.fileName(), fallback), root + QStringLiteral("/docs/line1"));
  EXPECT_EQ(DialogStartFolder(root + QStringLiteral("/docs/new.pdf"), fallback),
            root + QStringLiteral("/docs"));
  EXPECT_EQ(DialogStartFolder(root + QStringLiteral("/docs/*.*"), fallback), root + QStringLiteral("/docs"));
  EXPECT_EQ(DialogStartFolder(root + QStringLiteral("/docs/old/v1.2/a.pdf"), fallback),
            root + QStringLiteral("/docs"));
  EXPECT_EQ(DialogStartFolder(root + QStringLiteral("/docs/line1"), fallback),
            root + QStringLiteral("/docs/line1"));
  // Windows separators are read as "/".
  QString windows = root + QStringLiteral("/docs/line1/a.html");
  windows.replace(u'/', u'\\');
  EXPECT_EQ(DialogStartFolder(windows, fallback), root + QStringLiteral("/docs/line1"));
  // A share that is not mounted here, a drive path, an empty preset: never the root, the fallback.
  EXPECT_EQ(DialogStartFolder(QStringLiteral("\\\\hmi-server\\docs\\Wrapper\\a.pdf"), fallback), fallback);
  EXPECT_EQ(DialogStartFolder(QStringLiteral("/no-such-folder/a.pdf"), fallback), fallback);
  EXPECT_EQ(DialogStartFolder(QStringLiteral("C:\\HMI\\Symbols\\parts.bmp"), fallback), fallback);
  EXPECT_EQ(DialogStartFolder(QString(), fallback), fallback);
}
