// The [Info] record: version text, mode and the editor code.
#include "framework/EditInfo.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(EditorCodeTest, HexOfEachCodePlusFiveSkippingDashAndUnderscore) {
  EXPECT_EQ(EditorCode("USER=abc"), "666768");
  EXPECT_EQ(EditorCode("USER=a-b_c"), "666768");
  EXPECT_EQ(EditorCode("X=Z"), "5F");
  EXPECT_EQ(EditorCode("X=a=b"), "664267");
  EXPECT_EQ(EditorCode("X="), "");
  EXPECT_EQ(EditorCode("X=-_"), "");
  EXPECT_EQ(EditorCode(QStringLiteral("X=\u00e4")), "E9");
}

TEST(WriteEditInfoTest, WritesVersionWithModeAndKeepsOtherEntries) {
  TempInstall install;
  ScriptedPort port;
  WriteFile(install.cfg(), "[Project]\r\nValidMachines=ALL\r\n[Info]\r\nS_Prog=old\r\nOther=1\r\n");
  WriteEditInfo(*install.Context(port));
  const QString expectedCode = EditorCode(FirstEnvironmentEntry());
  EXPECT_EQ(ReadFile(install.cfg()),
            "[Project]\r\nValidMachines=ALL\r\n[Info]\r\nS_Prog=1.0.1 - Standalone\r\nOther=1\r\n"
            "S_Editor=" +
                expectedCode.toLocal8Bit() + "\r\n");
  WriteEditInfo(*install.Context(port, "EXTERNAL=QVZCFG"));
  EXPECT_TRUE(ReadFile(install.cfg()).contains("S_Prog=1.0.1 - Integrated\r\n"));
  EXPECT_TRUE(port.questions.empty());
}

}  // namespace
