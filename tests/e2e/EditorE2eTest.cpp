// The editor as a separate process: an unattended run writes the complete settings and ends by itself.
#include "tests/e2e/E2eSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(EditorE2eTest, SilentRunOnAFreshProjectWritesAllSettingsAndEndsWithStatus0) {
  InstallTree tree;
  tree.WriteProject({"Line1", "Line2"}, true);
  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << run.output.toStdString();

  QByteArray expected;
  for (const QByteArray m : {"1", "2"}) {
    expected += "[Machine" + m + "]\r\n";
    for (int k = 1; k <= 9; ++k) {
      const QByteArray key = QByteArray::number(k);
      expected += "Reference" + key + "=\r\nSymbol" + key + "=\r\n";
    }
  }
  expected += "[NetAddress]\r\n";
  for (int i = 1; i <= 5; ++i) {
    const QByteArray n = QByteArray::number(i);
    expected += "User" + n + "=\r\nPassword" + n + "=\r\nNetAddress" + n + "=\r\nNetDrive" + n + "=" +
                QByteArray(1, char('S' + i)) + "\r\n";
  }
  EXPECT_EQ(ReadBytes(tree.settings()), expected);
  EXPECT_TRUE(ReadBytes(tree.programIni()).contains("\r\nWithDocumentation=false\r\n"));
  EXPECT_TRUE(ReadBytes(tree.cfg()).contains("\r\n[Info]\r\nS_Prog=1.0.1 - Standalone\r\n"));
  EXPECT_FALSE(QFile::exists(tree.serviceLog()));
}

TEST(EditorE2eTest, SilentRunWithAnUncoveredShareEndsWithStatus1AndWritesNothing) {
  InstallTree tree;
  tree.WriteProject({"Line1"}, true);
  const QByteArray settings = "[Machine1]\r\nReference1=\\\\srv\\docs\\a.pdf\r\n";
  WriteBytes(tree.settings(), settings);
  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadBytes(tree.settings()), settings);
  EXPECT_EQ(
      ReadBytes(tree.serviceLog()),
      "! Fault Documentation_Config: Fault in Line1 , Key 1 , Html / Pdf - File : no net address found!\r\n");
  EXPECT_FALSE(ReadBytes(tree.cfg()).contains("[Info]"));
}

}  // namespace
