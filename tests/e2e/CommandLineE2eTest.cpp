// The command-line rules as the real program applies them, and the bytes of the files it writes.
#include "tests/e2e/E2eSupport.h"

#include <gtest/gtest.h>

namespace {

// A project whose editor is switched off in the base folder's Program.ini but switched on in the host's
// program INI: a standalone run closes itself, an integrated one would open the window (and be killed).
void WriteSwitchedOffProject(InstallTree& tree) {
  tree.WriteProject({"Line1"}, false);
  WriteBytes(tree.hostProgramIni(), "[Project]\r\nVWFD=true\r\n");
}

TEST(CommandLineE2eTest, DoubleEqualsSignIsNoIntegratedStart) {
  InstallTree tree;
  WriteSwitchedOffProject(tree);
  const RunResult run = tree.Run({"EXTERNAL==QVZCFG"});
  ASSERT_TRUE(run.finished) << "the run did not close itself: it was taken as integrated\n" << run.Report();
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(ReadBytes(tree.cfg()).contains("\r\n[Info]\r\nS_Prog=1.0.1 - Standalone\r\n"));
}

TEST(CommandLineE2eTest, WordInsideALongerWordStartsIntegrated) {
  InstallTree tree;
  tree.WriteProject({"Line1"}, true);  // switched on in the base folder: a standalone run would wait
  WriteBytes(tree.hostProgramIni(), "[Project]\r\nVWFD=false\r\n");
  WriteBytes(tree.cfg(), "[Project]\r\nValidMachines=ALL\r\n");
  const QString log = tree.root() + QStringLiteral("/Integrated.log");
  const RunResult run = tree.Run({"XEXTERNAL=QVZCFG", "/LOGFILE=" + log});
  ASSERT_TRUE(run.finished) << "the run did not close itself: it was not taken as integrated\n"
                            << run.Report();
  EXPECT_TRUE(ReadBytes(tree.cfg()).contains("\r\n[Info]\r\nS_Prog=1.0.1 - Integrated\r\n"));
}

TEST(CommandLineE2eTest, LowerCaseSilentWordRunsUnattended) {
  InstallTree tree;
  tree.WriteProject({"F\xF6rderband"}, true);
  WriteBytes(tree.programIni(),
             "[Project]\r\nNumberOfMachines=1\r\nVWFD=true\r\n[Machine1]\r\nMachineName=F\xF6rderband\r\n");
  WriteBytes(tree.settings(),
             "[Machine1]\r\nReference1=\\\\srv\\docs\\\xDC"
             "bersicht.pdf\r\n");
  const RunResult run = tree.Run({"external=silent"});
  ASSERT_TRUE(run.finished) << "the run waited for a user\n" << run.Report();
  EXPECT_EQ(run.status, 1);
  // The machine name comes back as Windows-1252 bytes with CR LF.
  EXPECT_EQ(
      ReadBytes(tree.serviceLog()),
      "! Fault Documentation_Config: Fault in F\xF6rderband , Key 1 , Html / Pdf - File : no net address "
      "found!\r\n");
}

TEST(CommandLineE2eTest, UmlautsInSettingsComeBackAsWindows1252Bytes) {
  InstallTree tree;
  tree.WriteProject({"F\xF6rderband"}, true);
  WriteBytes(tree.programIni(),
             "[Project]\r\nNumberOfMachines=1\r\nVWFD=true\r\n[Machine1]\r\nMachineName=F\xF6rderband\r\n");
  // A file written on Windows: LF alone must not survive, umlauts keep their single bytes.
  WriteBytes(tree.settings(),
             "[Machine1]\nReference1=C:\\Dokumente\\\xDC"
             "bersicht F\xF6rderband.pdf\n");
  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << ReadBytes(tree.serviceLog()).toStdString();
  const QByteArray written = ReadBytes(tree.settings());
  EXPECT_TRUE(
      written.startsWith("[Machine1]\r\nReference1=C:\\Dokumente\\\xDC"
                         "bersicht F\xF6rderband.pdf\r\n"))
      << written.toStdString();
  EXPECT_EQ(written.count("\r\n"), written.count('\n'));
  EXPECT_TRUE(ReadBytes(tree.programIni())
                  .startsWith("[Project]\r\nNumberOfMachines=1\r\nVWFD=true\r\nWithDocumentation=false\r\n["
                              "Machine1]\r\nMachineName=F\xF6rderband\r\n"));
}

}  // namespace

namespace {

QByteArray Utf16Le(const QString& text) {
  QByteArray bytes("\xFF\xFE", 2);
  for (const QChar c : text) {
    bytes.append(static_cast<char>(c.unicode() & 0xFF));
    bytes.append(static_cast<char>(c.unicode() >> 8));
  }
  return bytes;
}

TEST(CommandLineE2eTest, ProgramIniInUtf16IsReadAndStaysUtf16) {
  InstallTree tree;
  tree.WriteProject({"x"}, true);
  const QString programIni = QStringLiteral(
      "[Project]\r\nNumberOfMachines=1\r\nVWFD=true\r\n[Machine1]\r\nMachineName=Förderband\r\n");
  WriteBytes(tree.programIni(), Utf16Le(programIni));
  WriteBytes(
      tree.settings(),
      "[Machine1]\r\nReference1=\\\\srv\\docs\\a.pdf\r\n[NetAddress]\r\nNetAddress1=\\\\srv\\docs\r\n");
  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << ReadBytes(tree.serviceLog()).toStdString();
  EXPECT_EQ(
      ReadBytes(tree.programIni()),
      Utf16Le(QStringLiteral("[Project]\r\nNumberOfMachines=1\r\nVWFD=true\r\nWithDocumentation=true\r\n"
                             "[Machine1]\r\nMachineName=Förderband\r\n")));
}

}  // namespace

namespace {

TEST(CommandLineE2eTest, SilentRunWithAnUnreachableDisplayDrawsOffscreen) {
  InstallTree tree;
  tree.WriteProject({"Line1"}, true);
  int n = 4000;
  while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) ++n;
  QProcessEnvironment environment = tree.Environment();
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(n));
  const RunResult run = tree.Run({"EXTERNAL=SILENT"}, environment);
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << run.output.toStdString();
  EXPECT_TRUE(QFile::exists(tree.settings()));
}

}  // namespace

namespace {

TEST(CommandLineE2eTest, HelpAndVersionNeedNoInstallationAndAMistypedOptionChangesNothing) {
  InstallTree tree;  // no project files at all
  const RunResult help = tree.Run({"--help"});
  ASSERT_TRUE(help.finished) << help.Report();
  EXPECT_EQ(help.status, 0) << help.Report();
  EXPECT_TRUE(help.output.contains("EXTERNAL=SILENT")) << help.Report();
  const RunResult version = tree.Run({"/?", "--version"});
  EXPECT_EQ(version.status, 0) << version.Report();
  EXPECT_TRUE(tree.Run({"--version"}).output.startsWith("Documentation_Config 1.0.1"));

  tree.WriteProject({"Line1"}, false);
  const QMap<QString, QByteArray> before = tree.Snapshot();
  const RunResult typo = tree.Run({"EXTERNAL=SILENT", "--dryrun"});
  ASSERT_TRUE(typo.finished) << typo.Report();
  EXPECT_EQ(typo.status, 1) << typo.Report();
  EXPECT_TRUE(typo.output.contains("unknown option \"--dryrun\"")) << typo.Report();
  EXPECT_EQ(tree.Snapshot(), before) << "a refused option must not start a run";
}

}  // namespace
