// The settings model against the files: reading with defaults, the machine selection rule, the net
// address check and the write rules for slots never read and failed writes.

#include "core/DocumentationSettings.h"
#include "framework/Installation.h"
#include "tests/core/ProjectFixture.h"

#include <QDir>

namespace {

class SettingsTest : public ProjectTest {
 protected:
  void SetUp() override {
    WriteProject({QStringLiteral("Line1"), QStringLiteral("Line2")});
    Configure();
  }
  void ReadMachine(int m) { settings.ReadMachine(*context, m); }
  void ReadNetAddresses() {
    for (int i = 1; i <= kNetAddressCount; ++i) settings.ReadNetAddress(*context, i);
  }
  std::optional<QString> NetAddressFault(const QString& documentCaption, const QString& symbolCaption,
                                         const std::array<QString, kNetAddressCount>& drives,
                                         std::vector<int>& trimmed) {
    const std::optional<::NetAddressFault> fault =
        settings.FindNetAddressFault(*context, documentCaption, symbolCaption, drives, {}, trimmed);
    if (!fault) return std::nullopt;
    return fault->text;
  }
  DocumentationSettings settings;
};

}  // namespace

TEST_F(SettingsTest, ReadingAMissingFileGivesEmptyTextsAndDefaultDrives) {
  WriteFile(CustomerFile(), IniText(QStringLiteral("[NetAddress]\nNetDrive2=g\nNetDrive3=\n")));
  ReadMachine(1);
  ReadNetAddresses();
  EXPECT_TRUE(settings.Reference(1, 1).isEmpty());
  EXPECT_EQ(settings.NetDrive(1), QStringLiteral("T"));
  EXPECT_EQ(settings.NetDrive(2), QStringLiteral("g"));  // the drive check follows the reading
  EXPECT_EQ(settings.NetDrive(3), QStringLiteral("V"));
  EXPECT_EQ(settings.NetDrive(5), QStringLiteral("X"));
}

TEST_F(SettingsTest, LongValuesComeBackCutTo254Characters) {
  const QString longPath = QStringLiteral("C:\\") + QString(297, u'a');
  WriteFile(CustomerFile(),
            IniText(QStringLiteral("[Machine1]\nReference4=") + longPath + QStringLiteral("\n")));
  ReadMachine(1);
  EXPECT_EQ(settings.Reference(1, 4), longPath.left(254));
}

TEST_F(SettingsTest, IntegratedModeAdmitsByValidMachinesAsPlainSubstring) {
  const auto integrated = install.Context(port, QStringLiteral("EXTERNAL=QVZCFG"));
  integrated->project.machines = {QStringLiteral("Line1"), QStringLiteral("M"), QStringLiteral("Press")};
  auto takesPart = [&](int m, const QString& valid) {
    integrated->project.validMachines = valid;
    return integrated->MachineTakesPart(m);
  };
  EXPECT_TRUE(takesPart(1, QStringLiteral("all")));
  EXPECT_TRUE(takesPart(3, QStringLiteral("All")));
  EXPECT_TRUE(takesPart(1, QStringLiteral("line10")));
  EXPECT_TRUE(takesPart(2, QStringLiteral("M1")));
  EXPECT_FALSE(takesPart(3, QStringLiteral("M1,Line1")));
}

TEST_F(SettingsTest, StandaloneModeAdmitsByForMachine) {
  WriteProject({QStringLiteral("Line1"), QStringLiteral("Line2")}, true, QStringLiteral("ALL"), {1});
  Configure();
  EXPECT_TRUE(context->MachineTakesPart(1));
  EXPECT_FALSE(context->MachineTakesPart(2));
}

TEST_F(SettingsTest, SlotsNeverReadAreNotWritten) {
  const QByteArray before = IniText(
      QStringLiteral("[Machine1]\nReference1=C:\\keep.pdf\n[NetAddress]\nNetAddress1=\\\\srv\\docs\n"));
  WriteFile(CustomerFile(), before);
  WriteFile(install.programIni(), IniText(QStringLiteral("[Project]\nVWFD=false\nWithDocumentation=true\n")));
  settings.Write(*context);
  EXPECT_EQ(Customer(), before);
  EXPECT_TRUE(ReadFile(install.programIni()).contains("WithDocumentation=false\r\n"));
  EXPECT_TRUE(ReadFile(install.cfg()).contains("S_Prog=1.0.1 - Standalone\r\n"));
  EXPECT_TRUE(port.questions.empty());
}

TEST_F(SettingsTest, WithDocumentationTellsWhetherANetAddressIsSet) {
  ReadNetAddresses();
  ReadMachine(1);
  settings.Reference(1, 1) = QStringLiteral("C:\\doc.pdf");
  settings.Write(*context);
  EXPECT_TRUE(ReadFile(install.programIni()).contains("WithDocumentation=false\r\n"));
  settings.Reference(1, 1).clear();
  settings.NetAddress(4) = QStringLiteral("\\\\srv\\docs");
  settings.Write(*context);
  EXPECT_TRUE(ReadFile(install.programIni()).contains("WithDocumentation=true\r\n"));
}

TEST_F(SettingsTest, AFailedWriteIsReportedOnceAndNotTakenForSuccess) {
  QDir().mkpath(CustomerFile());  // a folder where the file should be: every write fails
  ReadMachine(1);
  ReadNetAddresses();
  port.answers = {Answer::Yes};
  settings.Write(*context);
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0].title, QStringLiteral("Unexpected error"));
  EXPECT_TRUE(port.questions[0].text.contains(QStringLiteral("Documentation_Customer.cfg")));
  EXPECT_TRUE(ReadFile(install.errorLog()).contains("/ WriteInputs (Nr. 75) :"));
  // The other files are still written.
  EXPECT_TRUE(ReadFile(install.programIni()).contains("WithDocumentation=false\r\n"));
}

TEST_F(SettingsTest, NetAddressCheckFindsUncoveredPathsInOrder) {
  std::vector<int> trimmed;
  const std::array<QString, kNetAddressCount> drives = {"T", "U", "V", "W", "X"};
  const QString doc = QStringLiteral("Html / Pdf - File");
  const QString sym = QStringLiteral("Symbol");
  // Drive-letter paths and empty ones are never examined.
  settings.Reference(1, 1) = QStringLiteral("G:\\doc.pdf");
  EXPECT_EQ(NetAddressFault(doc, sym, drives, trimmed), std::nullopt);

  settings.Reference(1, 3) = QStringLiteral("\\\\srv\\docs\\m1\\a.pdf");
  settings.NetAddress(1) = QStringLiteral("\\\\srv\\pub");
  EXPECT_EQ(NetAddressFault(doc, sym, drives, trimmed),
            QStringLiteral("Fault in Line1 , Key 3 , Html / Pdf - File : no net address found!"));

  // Characters are compared, not path parts, without regard to case.
  settings.NetAddress(2) = QStringLiteral("\\\\SRV\\DOC");
  settings.Symbol(2, 7) = QStringLiteral("\\\\srv\\pics\\a.gif");
  EXPECT_EQ(NetAddressFault(doc, sym, drives, trimmed),
            QStringLiteral("Fault in Line2 , Key 7 , Symbol : no net address found!"));

  // The fault names the field to correct.
  std::optional<::NetAddressFault> fault =
      settings.FindNetAddressFault(*context, doc, sym, drives, {}, trimmed);
  ASSERT_NE(fault, std::nullopt);
  EXPECT_EQ(fault->field, ::NetAddressFault::Field::Symbol);
  EXPECT_EQ(fault->machine, 2);
  EXPECT_EQ(fault->row, 7);

  // Three characters cover every UNC path that starts with them; two cover nothing.
  settings.NetAddress(3) = QStringLiteral("\\\\");
  EXPECT_NE(NetAddressFault(doc, sym, drives, trimmed), std::nullopt);
  settings.NetAddress(3) = QStringLiteral("\\\\s");
  EXPECT_EQ(NetAddressFault(doc, sym, drives, trimmed), std::nullopt);
}

TEST_F(SettingsTest, NetAddressCheckRefusesDoubleDrivesAndTrimsTrailingSeparators) {
  std::vector<int> trimmed;
  settings.NetAddress(1) = QStringLiteral("\\\\srv\\docs\\");
  settings.NetAddress(3) = QStringLiteral("\\\\srv\\more\\");
  const std::array<QString, kNetAddressCount> doubled = {"T", "G", "V", "G", "X"};
  const std::optional<::NetAddressFault> fault =
      settings.FindNetAddressFault(*context, {}, {}, doubled, {}, trimmed);
  ASSERT_NE(fault, std::nullopt);
  EXPECT_EQ(fault->text, QStringLiteral("Fault: double drive in net address 2 and 4"));
  // The window shows the second drive field of the pair.
  EXPECT_EQ(fault->field, ::NetAddressFault::Field::Drive);
  EXPECT_EQ(fault->row, 4);
  // Only the net addresses reached before the conflict lose their separator.
  EXPECT_EQ(trimmed, std::vector<int>{1});
  EXPECT_EQ(settings.NetAddress(1), QStringLiteral("\\\\srv\\docs"));
  EXPECT_EQ(settings.NetAddress(3), QStringLiteral("\\\\srv\\more\\"));

  // Two empty drive fields do not conflict.
  trimmed.clear();
  const std::array<QString, kNetAddressCount> empties = {"", "", "V", "W", "X"};
  EXPECT_EQ(NetAddressFault({}, {}, empties, trimmed), std::nullopt);
  EXPECT_EQ(trimmed, std::vector<int>{3});
}
