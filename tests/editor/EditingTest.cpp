// Editing through the window: tab switches, the drive check, the net address folder cut and browsing.

#include "tests/editor/EditorFixture.h"

namespace {

class EditingTest : public EditorTest {
 protected:
  void SetUp() override {
    WriteProject({QStringLiteral("Wrapper"), QStringLiteral("Press")});
    ASSERT_EQ(Load(), std::nullopt);
  }
  void SelectTab(int position) { form->TabStripMachine->setCurrentIndex(position - 1); }
  static constexpr int kNetTab = 3;
  bool Shown(QWidget* w) const { return w->isVisibleTo(form.get()); }
};

}  // namespace

TEST_F(EditingTest, SwitchingTabsKeepsEveryEdit) {
  form->TextExe[2]->setText(QStringLiteral("C:\\docs\\wrap.pdf"));
  form->TextSymbol[9]->setText(QStringLiteral("C:\\pics\\wrap.gif"));
  SelectTab(2);
  EXPECT_TRUE(form->TextExe[2]->text().isEmpty());
  form->TextExe[2]->setText(QStringLiteral("C:\\docs\\press.pdf"));
  SelectTab(kNetTab);
  EXPECT_EQ(form->LabelExeHeader->text(), QStringLiteral("Net address"));
  form->TextExe[1]->setText(QStringLiteral("\\\\srv\\docs"));
  form->TextUser[1]->setText(QStringLiteral("service"));
  form->TextPassword[1]->setText(QStringLiteral("secret"));
  SelectTab(1);
  EXPECT_EQ(form->TextExe[2]->text(), QStringLiteral("C:\\docs\\wrap.pdf"));
  EXPECT_EQ(form->TextSymbol[9]->text(), QStringLiteral("C:\\pics\\wrap.gif"));
  EXPECT_EQ(form->TextExe[1]->text(), QString());
  SelectTab(kNetTab);
  EXPECT_EQ(form->TextExe[1]->text(), QStringLiteral("\\\\srv\\docs"));
  EXPECT_EQ(form->TextUser[1]->text(), QStringLiteral("service"));
  EXPECT_EQ(form->TextPassword[1]->text(), QStringLiteral("secret"));
  const DocumentationSettings& s = form->Settings();
  EXPECT_EQ(s.References[0][2], QStringLiteral("C:\\docs\\wrap.pdf"));
  EXPECT_EQ(s.References[1][2], QStringLiteral("C:\\docs\\press.pdf"));
  EXPECT_EQ(s.NetAddresses[0], QStringLiteral("\\\\srv\\docs"));
}

TEST_F(EditingTest, TheNetAddressTabShowsFiveRowsWithUserPasswordAndDrive) {
  SelectTab(kNetTab);
  EXPECT_EQ(form->LabelKeyHeader->text(), QStringLiteral("No."));
  EXPECT_FALSE(Shown(form->FrameSymbol));
  EXPECT_TRUE(Shown(form->FrameUser));
  EXPECT_TRUE(Shown(form->FramePassword));
  EXPECT_TRUE(Shown(form->FrameDrive));
  EXPECT_TRUE(Shown(form->TextExe[5]));
  EXPECT_TRUE(Shown(form->ComboDrive[5]));
  for (int i = 6; i <= 9; ++i) {
    EXPECT_FALSE(Shown(form->TextExe[i]));
    EXPECT_FALSE(Shown(form->LabelKeyNumber[i]));
    EXPECT_FALSE(Shown(form->ComboDrive[i]));
    EXPECT_FALSE(Shown(form->TextUser[i]));
  }
  EXPECT_EQ(form->TextPassword[1]->echoMode(), QLineEdit::Password);
  SelectTab(1);
  EXPECT_TRUE(Shown(form->TextExe[9]));
  EXPECT_FALSE(Shown(form->FrameDrive));
}

TEST_F(EditingTest, DriveFieldsTakeOnlyGToX) {
  SelectTab(kNetTab);
  QComboBox* drive = form->ComboDrive[2];
  drive->setEditText(QStringLiteral("g"));
  EXPECT_EQ(drive->currentText(), QStringLiteral("G"));
  EXPECT_EQ(form->Settings().NetDrives[1], QStringLiteral("G"));
  EXPECT_TRUE(port.questions.empty());

  drive->setEditText(QStringLiteral("c"));
  EXPECT_EQ(drive->currentText(), QStringLiteral("X"));
  EXPECT_EQ(form->Settings().NetDrives[1], QStringLiteral("X"));
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0].text, QStringLiteral("Fault: only 'G' To 'X'"));
  EXPECT_EQ(port.questions[0].title, QString());
  EXPECT_EQ(port.questions[0].icon, Icon::None);

  drive->setEditText(QStringLiteral("1"));
  EXPECT_EQ(drive->currentText(), QStringLiteral("X"));
  EXPECT_EQ(port.questions.size(), 2u);

  // Clearing the field gives X at once, without a message; so does a second character.
  drive->setEditText(QStringLiteral("H"));
  drive->setEditText(QString());
  EXPECT_EQ(drive->currentText(), QStringLiteral("X"));
  drive->setEditText(QStringLiteral("HJ"));
  EXPECT_EQ(drive->currentText(), QStringLiteral("X"));
  EXPECT_EQ(port.questions.size(), 2u);

  // Picking from the list.
  drive->setCurrentIndex(3);
  EXPECT_EQ(form->Settings().NetDrives[1], QStringLiteral("J"));
}

TEST_F(EditingTest, NetAddressFieldsKeepTheFolderOfAFile) {
  SelectTab(kNetTab);
  form->TextExe[1]->setText(QStringLiteral("\\\\server\\share\\readme.txt"));
  EXPECT_EQ(form->TextExe[1]->text(), QStringLiteral("\\\\server\\share"));
  EXPECT_EQ(form->Settings().NetAddresses[0], QStringLiteral("\\\\server\\share"));
  form->TextExe[2]->setText(QStringLiteral("\\\\srv\\a.b\\c.d"));
  EXPECT_EQ(form->Settings().NetAddresses[1], QStringLiteral("\\\\srv"));
  form->TextExe[3]->setText(QStringLiteral("\\\\server\\share\\"));
  EXPECT_EQ(form->Settings().NetAddresses[2], QStringLiteral("\\\\server\\share\\"));
  // On a machine tab the same column holds documents, uncut.
  SelectTab(1);
  form->TextExe[1]->setText(QStringLiteral("\\\\server\\share\\readme.pdf"));
  EXPECT_EQ(form->Settings().References[0][1], QStringLiteral("\\\\server\\share\\readme.pdf"));
}

TEST_F(EditingTest, BrowsingStartsFromTheNearestKnownFile) {
  DocumentationSettings& s = form->Settings();
  s.Symbols[0][3] = QStringLiteral("C:\\Pics\\a.gif");
  s.References[0][2] = QStringLiteral("C:\\Docs\\two.pdf");
  form->CommandExe[3]->click();  // document of key 3: its symbol first
  form->CommandExe[4]->click();  // key 4: nothing, key 3 has no document
  form->CommandExe[1]->click();  // key 1: nothing at all
  form->CommandSymbol[3]->click();
  form->CommandSymbol[4]->click();  // the symbol of the key above
  ASSERT_EQ(port.picks.size(), 5u);
  EXPECT_EQ(port.picks[0].title, QStringLiteral("Browse File Htlm / Htm / Pdf"));
  EXPECT_EQ(port.picks[0].filter, QStringLiteral("*.html;*.htm|*.html;*.htm"));
  EXPECT_EQ(port.picks[0].preset, QStringLiteral("C:\\Pics\\a.gif"));
  EXPECT_EQ(port.picks[1].preset, install.program());
  EXPECT_EQ(port.picks[2].preset, install.program());
  EXPECT_EQ(port.picks[3].title, QStringLiteral("Browse File Gif / Bmp"));
  EXPECT_EQ(port.picks[3].filter, QStringLiteral("*.gif;*.bmp|*.gif;*.bmp"));
  EXPECT_EQ(port.picks[3].preset, QStringLiteral("C:\\Pics\\a.gif"));
  EXPECT_EQ(port.picks[4].preset, QStringLiteral("C:\\Pics\\a.gif"));
  // The key above's document is the last choice before the program folder.
  form->CommandExe[3]->click();
  s.Symbols[0][3].clear();
  form->CommandExe[3]->click();
  EXPECT_EQ(port.picks.back().preset, QStringLiteral("C:\\Docs\\two.pdf"));
  // Cancelled dialogs changed nothing.
  EXPECT_TRUE(s.References[0][3].isEmpty());
  EXPECT_TRUE(form->TextExe[3]->text().isEmpty());
  EXPECT_TRUE(s.References[0][1].isEmpty());
}

TEST_F(EditingTest, APickedFileIsStoredAndShown) {
  port.pickedFiles = {QStringLiteral("/data/docs/manual.pdf"), QStringLiteral("/data/pics/m.bmp")};
  form->CommandExe[5]->click();
  form->CommandSymbol[5]->click();
  EXPECT_EQ(form->TextExe[5]->text(), QStringLiteral("/data/docs/manual.pdf"));
  EXPECT_EQ(form->Settings().References[0][5], QStringLiteral("/data/docs/manual.pdf"));
  EXPECT_EQ(form->TextSymbol[5]->text(), QStringLiteral("/data/pics/m.bmp"));
  EXPECT_EQ(form->Settings().Symbols[0][5], QStringLiteral("/data/pics/m.bmp"));
}

TEST_F(EditingTest, BrowsingForANetAddressStartsInsideItAndKeepsTheFolder) {
  SelectTab(kNetTab);
  form->TextExe[2]->setText(QStringLiteral("\\\\srv\\docs\\"));
  form->CommandExe[2]->click();
  ASSERT_EQ(port.picks.size(), 1u);
  EXPECT_EQ(port.picks[0].title, QStringLiteral("Browse Net Address"));
  EXPECT_EQ(port.picks[0].filter, QStringLiteral("*.*|*.*"));
  EXPECT_EQ(port.picks[0].preset, QStringLiteral("\\\\srv\\docs\\*.*"));
  EXPECT_EQ(form->TextExe[2]->text(), QStringLiteral("\\\\srv\\docs"));
  EXPECT_EQ(form->Settings().NetAddresses[1], QStringLiteral("\\\\srv\\docs"));

  port.pickedFiles = {QStringLiteral("\\\\srv\\docs\\line1\\manual.pdf")};
  form->CommandExe[2]->click();
  EXPECT_EQ(form->TextExe[2]->text(), QStringLiteral("\\\\srv\\docs\\line1"));
  EXPECT_EQ(form->Settings().NetAddresses[1], QStringLiteral("\\\\srv\\docs\\line1"));

  form->CommandExe[4]->click();
  EXPECT_EQ(port.picks.back().preset, install.program());
}
