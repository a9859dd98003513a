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

// The program's environment without any display or GUI platform.
QProcessEnvironment Headless(const InstallTree& tree) {
  QProcessEnvironment env = tree.Environment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  return env;
}

TEST(StartupE2eTest, RunsThatShowNothingNeedNoGuiPlatform) {
  InstallTree tree;
  tree.WriteProject({"M1"}, true);
  QProcessEnvironment env = Headless(tree);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
  RunResult run = tree.Run({"EXTERNAL=SILENT"}, env);
  ASSERT_TRUE(run.finished) << run.output.toStdString();
  EXPECT_EQ(run.status, 0) << run.output.toStdString();
  EXPECT_TRUE(QFile::exists(tree.settings()));
  // A project without the editor closes at once, also when started by hand.
  tree.WriteProject({"M1"}, false);
  run = tree.Run({}, env);
  EXPECT_EQ(run.status, 0) << run.output.toStdString();
  EXPECT_TRUE(run.output.isEmpty()) << run.output.toStdString();
}

TEST(StartupE2eTest, AWindowWithoutADisplayEndsWithAPlainMessage) {
  InstallTree tree;
  tree.WriteProject({"M1"}, true);
  const RunResult run = tree.Run({}, Headless(tree));
  ASSERT_TRUE(run.finished) << run.output.toStdString();
  EXPECT_EQ(run.status, 1) << run.output.toStdString();
  EXPECT_TRUE(run.output.contains("the window cannot be shown: neither DISPLAY nor WAYLAND_DISPLAY is set"))
      << run.output.toStdString();
  EXPECT_TRUE(run.output.contains("EXTERNAL=SILENT")) << run.output.toStdString();
  EXPECT_FALSE(QFile::exists(tree.settings()));

  // A platform that starts but has no screen to show the window on.
  QProcessEnvironment noScreen = Headless(tree);
  noScreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("linuxfb:fb=/dev/null"));
  const RunResult framebuffer = tree.Run({}, noScreen);
  ASSERT_TRUE(framebuffer.finished) << framebuffer.Report();
  EXPECT_EQ(framebuffer.status, 1) << framebuffer.output.toStdString();
  EXPECT_TRUE(framebuffer.output.contains("the window cannot be shown")) << framebuffer.output.toStdString();
  EXPECT_FALSE(QFile::exists(tree.settings()));
}

}  // namespace
