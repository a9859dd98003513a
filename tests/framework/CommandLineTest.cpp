// Start mode and command words, including the odd cases the host configuration program relies on.
#include "framework/CommandLine.h"
#include "framework/ProgramOptions.h"

#include <gtest/gtest.h>

namespace {

struct ModeCase {
  const char* commandLine;
  bool integrated;
  bool silent;
  friend void PrintTo(const ModeCase& c, std::ostream* os) { *os << '"' << c.commandLine << '"'; }
};

class StartModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(StartModeTest, DecidesTheModeFromExternal) {
  const ModeCase& c = GetParam();
  const StartMode mode = GetStartModeIntegrated(QString::fromUtf8(c.commandLine));
  EXPECT_EQ(mode.integrated, c.integrated);
  EXPECT_EQ(mode.silent, c.silent);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartModeTest,
    ::testing::Values(ModeCase{"", false, false}, ModeCase{"external=qvzcfg", true, false},
                      ModeCase{"EXTERNAL QVZCFG", true, false}, ModeCase{"EXTERNAL:QVZCFG", true, false},
                      ModeCase{"EXTERNAL==QVZCFG", false, false}, ModeCase{"EXTERNALQVZCFG", false, false},
                      ModeCase{"EXTERNAL=QVZCFG/SILENT", true, false},
                      ModeCase{"EXTERNAL=SILENT", false, true},
                      ModeCase{"external=silent /LOGFILE=/tmp/x", false, true},
                      // A path after a blank belongs to the value: start words with a slash.
                      ModeCase{"EXTERNAL=QVZCFG LOGFILE=/tmp/x", false, false},
                      ModeCase{"XEXTERNAL=QVZCFG", true, false}, ModeCase{"EXTERNAL", false, false},
                      ModeCase{"EXTERNAL=other", false, false}));

TEST(ReadCommandTest, ValueIsUpperCasedTrimmedAndCutAtASlash) {
  EXPECT_EQ(ReadCommand("EXTERNAL=QVZCFG /LOGFILE=C:\\Temp\\Cfg.log", "EXTERNAL"), "QVZCFG");
  EXPECT_EQ(ReadCommand("EXTERNAL=QVZCFG /LOGFILE=C:\\Temp\\Cfg.log", "LOGFILE"), "C:\\TEMP\\CFG.LOG");
  EXPECT_EQ(ReadCommand("LOGFILE=C:\\a/b.log", "logfile"), "C:\\A");
  EXPECT_EQ(ReadCommand("EXTERNAL==QVZCFG", "EXTERNAL"), "=QVZCFG");
  EXPECT_EQ(ReadCommand("EXTERNALQVZCFG", "EXTERNAL"), "VZCFG");
  EXPECT_EQ(ReadCommand("a=b", "EXTERNAL"), "");
  EXPECT_EQ(ReadCommand("straße=x", "STRASSE"), "");  // upper-casing keeps the length
  EXPECT_EQ(ReadCommand("k=straße", "K"), QStringLiteral("STRAßE"));
}

TEST(LogfileTest, KeepsCaseAndSlashesOfAPathUntilTheNextWord) {
#ifdef _WIN32
  GTEST_SKIP() << "the rule for slashes inside a LOGFILE path is the one of POSIX paths";
#else
  EXPECT_EQ(GetPathLogfile("EXTERNAL=QVZCFG LOGFILE=/var/Log/Cfg.log /NEXT=1"), "/var/Log/Cfg.log");
  EXPECT_EQ(GetPathLogfile("LOGFILE=c:\\Temp\\cfg.log"), "c:/Temp/cfg.log");
  EXPECT_EQ(GetPathLogfile("EXTERNAL=QVZCFG"), "");
  EXPECT_EQ(GetStartModeIntegrated("EXTERNAL=QVZCFG /LOGFILE=/var/log/host.log").logfile,
            "/var/log/host.log");
#endif
}

}  // namespace

namespace {

TEST(ProgramOptionsTest, OwnOptionsAreWholeArgumentsTakenOutBeforeTheHostsWordsAreJoined) {
  // A LOGFILE path that spells an option is the host's, not ours.
  const ProgramOptions run =
      ReadProgramOptions({"EXTERNAL=SILENT", "/LOGFILE=/srv/SaveAndRestore/--help/version.log"});
  EXPECT_EQ(run.action, ProgramAction::Run);
  EXPECT_TRUE(run.refused.isEmpty());
  EXPECT_EQ(run.commandLine, "EXTERNAL=SILENT /LOGFILE=/srv/SaveAndRestore/--help/version.log");

  const ProgramOptions help = ReadProgramOptions({"EXTERNAL=QVZCFG", "--version", "/?"});
  EXPECT_EQ(help.action, ProgramAction::Help);
  EXPECT_EQ(help.commandLine, "EXTERNAL=QVZCFG");
  EXPECT_EQ(ReadProgramOptions({"--version"}).action, ProgramAction::Version);
  EXPECT_EQ(ReadProgramOptions({"-help"}).action, ProgramAction::Run);  // the host's business

  // A mistyped option is refused, never taken as a real run.
  const ProgramOptions typo = ReadProgramOptions({"EXTERNAL=SILENT", "--dryrun", "--other"});
  EXPECT_EQ(typo.refused, "--dryrun");
  EXPECT_TRUE(RefusedOptionText(typo.refused).contains("\"--dryrun\""));

  const ProgramOptions dryRun =
      ReadProgramOptions({"--dry-run", "EXTERNAL=QVZCFG", "/LOGFILE=/srv/dry-run.log"});
  EXPECT_EQ(dryRun.action, ProgramAction::DryRun);
  EXPECT_EQ(dryRun.commandLine, "EXTERNAL=QVZCFG /LOGFILE=/srv/dry-run.log");
  EXPECT_EQ(ReadProgramOptions({"--restore", "--help"}).action, ProgramAction::Help);
  // Both work options at once: neither is done.
  const ProgramOptions both = ReadProgramOptions({"--dry-run", "--restore"});
  EXPECT_EQ(both.refused, "--restore");
  EXPECT_TRUE(RefusedOptionText(both.refused).contains("--dry-run and --restore cannot be given together"));
}

}  // namespace
