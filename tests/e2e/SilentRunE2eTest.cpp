// Unattended runs (EXTERNAL=SILENT) over existing settings: what is kept byte for byte, what the run
// normalises, and what it writes.
#include "tests/e2e/E2eSupport.h"

#include <gtest/gtest.h>

namespace {

// The value lines of one section, in file order ("entry=value").
QList<QByteArray> SectionLines(const QByteArray& file, const QByteArray& section) {
  QList<QByteArray> lines;
  bool inside = false;
  for (const QByteArray& line : file.split('\n')) {
    const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
    if (text.startsWith('[')) {
      inside = text == "[" + section + "]";
      continue;
    }
    if (inside && !text.isEmpty()) lines << text;
  }
  return lines;
}

TEST(SilentRunE2eTest, ExistingSettingsKeepOtherMachinesByteForByteAndNormaliseDrivesAndLongValues) {
  InstallTree tree;
  tree.WriteProject({"Line1", "Line2", "Line3"}, true);
  WriteBytes(tree.cfg(), "[Project]\r\nForMachine1=true\r\nForMachine2=false\r\nForMachine3=TRUE\r\n");
  const QByteArray longValue = "C:\\Docs\\" + QByteArray(292, 'a');  // 300 characters
  // Machine 2 does not take part: its section, odd spelling and all, must come back unchanged.
  const QByteArray machine2 =
      "[Machine2]\r\n"
      " reference1 = \\\\srv\\other\\b.pdf \r\n"
      "; kept as it is\r\n"
      "Symbol1=\"C:\\Sym\\b.gif\"\r\n"
      "Extra=keep\r\n";
  const QByteArray settings =
      "; customer documentation\r\n"
      "[Machine1]\r\n"
      "Reference1=C:\\Docs\\a.pdf\r\n"
      "Reference2=" +
      longValue +
      "\r\n"
      "Symbol1=C:\\Sym\\a.gif\r\n" +
      machine2 +
      "[NetAddress]\r\n"
      "NetDrive1=g\r\n"
      "NetDrive3=\r\n"
      "NetDrive4=w\r\n"
      "NetDrive5=C\r\n"
      "[Machine7]\r\nReference1=old\r\n";
  WriteBytes(tree.settings(), settings);

  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << run.output.toStdString() << ReadBytes(tree.serviceLog()).toStdString();
  const QByteArray written = ReadBytes(tree.settings());

  EXPECT_TRUE(written.startsWith("; customer documentation\r\n[Machine1]\r\n")) << written.toStdString();
  EXPECT_TRUE(written.contains(machine2 + "[NetAddress]\r\n")) << written.toStdString();
  EXPECT_TRUE(written.contains("[Machine7]\r\nReference1=old\r\n")) << written.toStdString();

  const QList<QByteArray> machine1 = SectionLines(written, "Machine1");
  ASSERT_EQ(machine1.size(), 18) << written.toStdString();
  EXPECT_EQ(machine1[0], "Reference1=C:\\Docs\\a.pdf");
  EXPECT_EQ(machine1[1], "Reference2=" + longValue.left(254));  // read back with 254 characters
  EXPECT_EQ(machine1[2], "Symbol1=C:\\Sym\\a.gif");
  EXPECT_EQ(SectionLines(written, "Machine3").size(), 18);

  const QList<QByteArray> net = SectionLines(written, "NetAddress");
  EXPECT_EQ(net.size(), 20) << written.toStdString();
  // g -> G, missing -> U, empty -> V, w -> W, C (no drive of a share) -> X.
  for (const char* drive : {"NetDrive1=G", "NetDrive2=U", "NetDrive3=V", "NetDrive4=W", "NetDrive5=X"}) {
    EXPECT_TRUE(net.contains(drive)) << drive << "\n" << written.toStdString();
  }
  // Existing entries keep their place.
  EXPECT_EQ(net[0], "NetDrive1=G");
  EXPECT_FALSE(QFile::exists(tree.serviceLog())) << ReadBytes(tree.serviceLog()).toStdString();
}

TEST(SilentRunE2eTest, EditorSwitchedOffLeavesEverySettingsEntryAsItIs) {
  InstallTree tree;
  tree.WriteProject({"Line1"}, false);
  const QByteArray settings =
      "[Machine1]\r\nReference1=C:\\a.pdf\r\n[NetAddress]\r\nNetAddress1=\\\\srv\\s\r\n"
      "NetDrive1=c\r\n";
  WriteBytes(tree.settings(), settings);
  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << run.output.toStdString();
  EXPECT_EQ(ReadBytes(tree.settings()), settings);
  // Nothing was loaded, so no net address counts.
  EXPECT_TRUE(ReadBytes(tree.programIni()).contains("\r\nWithDocumentation=false\r\n"));
  EXPECT_TRUE(ReadBytes(tree.cfg()).contains("[Info]\r\nS_Prog=1.0.1 - Standalone\r\nS_Editor="));
}

}  // namespace
