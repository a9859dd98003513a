// File locations of an installation and the machine list in both modes.
#include "framework/Installation.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class InstallationTest : public ::testing::Test {
 protected:
  void StartIntegrated() { context = install.Context(port, "EXTERNAL=QVZCFG"); }
  TempInstall install;
  ScriptedPort port;
  std::unique_ptr<ProjectContext> context = install.Context(port);
  QString saveAndRestore = install.root() + QStringLiteral("/SaveAndRestore");
};

TEST_F(InstallationTest, FilesAreFoundBelowTheBaseFolder) {
  EXPECT_EQ(GetQVZConfigurationIniPath(*context), "");
  EXPECT_EQ(GetProgramIniPath(*context, 2), "");
  EXPECT_EQ(GetPathSourceOCXMDB(*context), "");
  EXPECT_EQ(GetPathOCXMDB(*context),
            install.component() + NativePath("/Documentation.mdb"));  // returned even when missing
  WriteFile(install.hostIni(), "");
  WriteFile(install.programIni(), "");
  WriteFile(install.cfg(), "");
  WriteFile(install.component() + "/Documentation_Source.mdb", "");
  EXPECT_EQ(GetQVZConfigurationIniPath(*context), install.hostIni());
  EXPECT_EQ(GetProgramIniPath(*context, 1), install.programIni());
  EXPECT_EQ(GetCFGPath(*context), install.cfg());
  EXPECT_EQ(GetPathSourceOCXMDB(*context), install.component() + NativePath("/Documentation_Source.mdb"));
}

TEST_F(InstallationTest, FilesFromWindowsAreFoundWhateverTheirCase) {
  WriteFile(install.base() + "/PARAMETER/QVZConfiguration.INI", "");
  WriteFile(install.base() + "/documentation/documentation.CFG", "");
  EXPECT_EQ(AsCompared(GetQVZConfigurationIniPath(*context)),
            AsCompared(install.base() + "/PARAMETER/QVZConfiguration.INI"));
  EXPECT_EQ(AsCompared(GetCFGPath(*context)),
            AsCompared(install.base() + "/documentation/documentation.CFG"));
}

TEST_F(InstallationTest, MissingCfgFileIsReportedAndEndsTheProgram) {
  EXPECT_EQ(EndStatusOf([&] { GetCFGPath(*context); }), 1);
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0].text, "File not found: \n\r" + install.cfg().toUpper());
  EXPECT_EQ(port.questions[0].title, "Documentation_Config");

  context = install.Context(port, "EXTERNAL=SILENT");
  EXPECT_EQ(EndStatusOf([&] { GetValidMachines(*context); }), 1);
  EXPECT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(ReadFile(install.serviceLog()), "! Fault Documentation_Config: File not found: \n\r" +
                                                install.cfg().toUpper().toLocal8Bit() + "\r\n");
}

TEST_F(InstallationTest, SaveAndRestoreWithOrWithoutSeparatorGivesTheSameMachineCopy) {
  const QString copy = saveAndRestore + NativePath("/Documentation/Documentation.mdb");
  WriteFile(copy, "");
  for (const QString& s : {saveAndRestore, saveAndRestore + "/", saveAndRestore + "\\"}) {
    WriteFile(install.hostIni(), "[Common]\r\nSaveAndRestore=" + s.toLocal8Bit() + "\r\n");
    EXPECT_EQ(AsCompared(GetPathMachineCopyMDB(*context, install.hostIni())), AsCompared(copy))
        << s.toStdString();
  }
  WriteFile(install.hostIni(),
            "[Common]\r\nSaveAndRestore=" + install.root().toLocal8Bit() + "\\nothing\r\n");
  EXPECT_EQ(GetPathMachineCopyMDB(*context, install.hostIni()), "");
}

TEST_F(InstallationTest, IntegratedModeReadsTheProgramIniFromSaveAndRestoreOnly) {
  WriteFile(install.hostIni(), "[Common]\r\nSaveAndRestore=" + saveAndRestore.toLocal8Bit() + "\r\n");
  WriteFile(install.programIni(), "");
  StartIntegrated();
  EXPECT_EQ(GetProgramIniPath(*context, 1), "");
  EXPECT_EQ(GetProgramIniPath(*context, 2), install.programIni());
  WriteFile(saveAndRestore + "/parameter/program.ini", "");
  EXPECT_EQ(GetProgramIniPath(*context, 1), saveAndRestore + NativePath("/parameter/program.ini"));
}

TEST_F(InstallationTest, IntegratedMachinesComeFromTheHostIniUpToADashOrFive) {
  StartIntegrated();
  WriteFile(install.hostIni(), "[Common]\r\nNameM1=A\r\nNameM2=B\r\nNameM3=-\r\nNameM4=D\r\n");
  GetExistingMachines(*context, install.hostIni());
  EXPECT_EQ(context->project.machines, (QStringList{"A", "B"}));
  StartIntegrated();
  WriteFile(install.hostIni(),
            "[Common]\r\nNameM1=1\r\nNameM2=2\r\nNameM3=3\r\nNameM4=4\r\nNameM5=5\r\nNameM6=6\r\n");
  GetExistingMachines(*context, install.hostIni());
  EXPECT_EQ(context->project.machines.size(), 5);
  EXPECT_EQ(context->ExistingMachine(5), "5");
  EXPECT_EQ(context->ExistingMachine(6), "");
}

TEST_F(InstallationTest, StandaloneMachinesComeFromTheProgramIni) {
  GetExistingMachines(*context, install.hostIni());
  EXPECT_TRUE(context->project.machines.isEmpty());
  WriteFile(install.programIni(),
            "[Project]\r\nNumberOfMachines=3\r\n[Machine1]\r\nMachineName=Line1\r\n[Machine3]\r\nMachineName="
            "Line3\r\n");
  context = install.Context(port);
  GetExistingMachines(*context, install.hostIni());
  EXPECT_EQ(context->files.programIni, install.programIni());
  EXPECT_EQ(context->project.machines, (QStringList{"Line1", "", "Line3"}));
}

}  // namespace
