// Starting the real program: modes, the missing CFG file and where the logs go.
#include "tests/e2e/E2eSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(StartupE2eTest, SilentRunWithoutCfgFileLogsAndEndsWithStatusOne) {
  InstallTree tree;
  tree.WriteProject({"M1"}, true);
  QFile::remove(tree.cfg());
  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadBytes(tree.serviceLog()), "! Fault Documentation_Config: File not found: \n\r" +
                                              tree.cfg().toUpper().toLocal8Bit() + "\r\n");
  EXPECT_FALSE(QFile::exists(tree.settings()));
}

}  // namespace
