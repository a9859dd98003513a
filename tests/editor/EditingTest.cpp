// Editing through the window: tab switches, the drive check, the net address folder cut and browsing.

#include "editor/QtUserPort.h"
#include "tests/editor/EditorFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QScrollArea>
#include <QTest>

namespace {

class EditingTest : public EditorTest {
 protected:
  void SetUp() override {
    WriteProject({QStringLiteral("Wrapper"), QStringLiteral("Press")});
    ASSERT_EQ(Load(), std::nullopt);
  }
  void SelectTab(int position) { form->TabStripMachine()->setCurrentIndex(position - 1); }
  static constexpr int kNetTab = 3;
  bool Shown(QWidget* w) const { return w->isVisibleTo(form.get()); }
};

}  // namespace

TEST_F(EditingTest, SwitchingTabsKeepsEveryEdit) {
  form->KeyRows()->TextExe(2)->setText(QStringLiteral("C:\\docs\\wrap.pdf"));
  form->KeyRows()->TextSymbol(9)->setText(QStringLiteral("C:\\pics\\wrap.gif"));
  SelectTab(2);
  EXPECT_TRUE(form->KeyRows()->TextExe(2)->text().isEmpty());
  form->KeyRows()->TextExe(2)->setText(QStringLiteral("C:\\docs\\press.pdf"));
  SelectTab(kNetTab);
  EXPECT_EQ(form->KeyRows()->LabelExeHeader()->text(), QStringLiteral("Net address"));
  form->KeyRows()->TextExe(1)->setText(QStringLiteral("\\\\srv\\docs"));
  form->NetAddresses()->TextUser(1)->setText(QStringLiteral("service"));
  form->NetAddresses()->TextPassword(1)->setText(QStringLiteral("secret"));
  SelectTab(1);
  EXPECT_EQ(form->KeyRows()->TextExe(2)->text(), QStringLiteral("C:\\docs\\wrap.pdf"));
  EXPECT_EQ(form->KeyRows()->TextSymbol(9)->text(), QStringLiteral("C:\\pics\\wrap.gif"));
  EXPECT_EQ(form->KeyRows()->TextExe(1)->text(), QString());
  SelectTab(kNetTab);
  EXPECT_EQ(form->KeyRows()->TextExe(1)->text(), QStringLiteral("\\\\srv\\docs"));
  EXPECT_EQ(form->NetAddresses()->TextUser(1)->text(), QStringLiteral("service"));
  EXPECT_EQ(form->NetAddresses()->TextPassword(1)->text(), QStringLiteral("secret"));
  const DocumentationSettings& s = form->Settings();
  EXPECT_EQ(s.Reference(1, 2), QStringLiteral("C:\\docs\\wrap.pdf"));
  EXPECT_EQ(s.Reference(2, 2), QStringLiteral("C:\\docs\\press.pdf"));
  EXPECT_EQ(s.NetAddress(1), QStringLiteral("\\\\srv\\docs"));
}

TEST_F(EditingTest, TheNetAddressTabShowsFiveRowsWithUserPasswordAndDrive) {
  SelectTab(kNetTab);
  EXPECT_EQ(form->KeyRows()->LabelKeyHeader()->text(), QStringLiteral("No."));
  EXPECT_FALSE(Shown(form->KeyRows()->FrameSymbol()));
  EXPECT_TRUE(Shown(form->NetAddresses()->FrameUser()));
  EXPECT_TRUE(Shown(form->NetAddresses()->FramePassword()));
  EXPECT_TRUE(Shown(form->NetAddresses()->FrameDrive()));
  EXPECT_TRUE(Shown(form->KeyRows()->TextExe(5)));
  EXPECT_TRUE(Shown(form->NetAddresses()->ComboDrive(5)));
  for (int i = 6; i <= 9; ++i) {
    EXPECT_FALSE(Shown(form->KeyRows()->TextExe(i)));
    EXPECT_FALSE(Shown(form->KeyRows()->LabelKeyNumber(i)));
    EXPECT_FALSE(Shown(form->NetAddresses()->ComboDrive(i)));
    EXPECT_FALSE(Shown(form->NetAddresses()->TextUser(i)));
  }
  EXPECT_EQ(form->NetAddresses()->TextPassword(1)->echoMode(), QLineEdit::Password);
  SelectTab(1);
  EXPECT_TRUE(Shown(form->KeyRows()->TextExe(9)));
  EXPECT_FALSE(Shown(form->NetAddresses()->FrameDrive()));
}

TEST_F(EditingTest, TheColumnsOfBothPanelsLieOnTheFormsGridAndEveryShownFieldTakesItsClick) {
  // Left edges in pixels of the main frame (twips / 15): the panels move no column.
  const KeyRowsPanel& keys = *form->KeyRows();
  const NetAddressPanel& net = *form->NetAddresses();
  auto onMainFrame = [this](QWidget* w) { return QRect(w->mapTo(form->MainFrame(), QPoint()), w->size()); };
  EXPECT_EQ(onMainFrame(keys.FrameKey()), QRect(8, 10, 50, 430));
  EXPECT_EQ(onMainFrame(keys.FrameExe()), QRect(64, 10, 352, 430));
  EXPECT_EQ(onMainFrame(keys.FrameSymbol()), QRect(420, 10, 352, 430));
  EXPECT_EQ(onMainFrame(net.FrameUser()), QRect(420, 10, 116, 430));
  EXPECT_EQ(onMainFrame(net.FramePassword()), QRect(540, 10, 116, 430));
  EXPECT_EQ(onMainFrame(net.FrameDrive()), QRect(660, 10, 116, 430));
  EXPECT_EQ(onMainFrame(keys.TextExe(2)), QRect(72, 91, 304, 28));

  // Where the panels overlap, the hidden columns take no click: under every shown field's middle lies
  // that field, on either view.
  QWidget* background = form->Scroller()->widget();
  auto fieldsShown = [&] {
    std::vector<QWidget*> fields;
    for (QWidget* control : form->Controls()) {
      if ((qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
           qobject_cast<QPushButton*>(control)) &&
          Shown(control)) {
        fields.push_back(control);
      }
    }
    return fields;
  };
  for (const int tab : {kNetTab, 1}) {
    SelectTab(tab);
    const std::vector<QWidget*> fields = fieldsShown();
    EXPECT_EQ(fields.size(), tab == kNetTab ? 5u * 5 + 2 : 9u * 4 + 2);
    for (QWidget* field : fields) {
      QWidget* hit = background->childAt(field->mapTo(background, field->rect().center()));
      EXPECT_TRUE(hit == field || field->isAncestorOf(hit))
          << tab << ' ' << field->objectName().toStdString() << field->property("Index").toInt();
    }
  }
  // A real click through the window on a net address field, beside the net address panel.
  Activate();
  SelectTab(kNetTab);
  QLineEdit* address = keys.TextExe(3);
  QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, address->mapTo(form.get(), QPoint(5, 5)));
  EXPECT_EQ(Focused(), address);
  QTest::keyClicks(Focused(), QStringLiteral("\\\\srv3"));
  EXPECT_EQ(form->Settings().NetAddress(3), QStringLiteral("\\\\srv3"));
}

TEST_F(EditingTest, DriveFieldsTakeOnlyGToX) {
  SelectTab(kNetTab);
  QComboBox* drive = form->NetAddresses()->ComboDrive(2);
  drive->setEditText(QStringLiteral("g"));
  EXPECT_EQ(drive->currentText(), QStringLiteral("G"));
  EXPECT_EQ(form->Settings().NetDrive(2), QStringLiteral("G"));
  EXPECT_TRUE(port.questions.empty());

  drive->setEditText(QStringLiteral("c"));
  EXPECT_EQ(drive->currentText(), QStringLiteral("X"));
  EXPECT_EQ(form->Settings().NetDrive(2), QStringLiteral("X"));
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
  EXPECT_EQ(form->Settings().NetDrive(2), QStringLiteral("J"));
}

TEST_F(EditingTest, ANetAddressKeepsItsFolderOnceItsEditingFinishesTypedOrPasted) {
  Activate();
  SelectTab(kNetTab);
  struct Case {
    QString entered, folder;
  };
  const std::vector<Case> cases = {
      {QStringLiteral("\\\\srv\\docs\\readme.txt"), QStringLiteral("\\\\srv\\docs")},
      {QStringLiteral("\\\\srv\\docs\\v1.2"), QStringLiteral("\\\\srv\\docs")},
      {QStringLiteral("\\\\srv\\a.b\\c.d"), QStringLiteral("\\\\srv")},
      {QStringLiteral("\\\\server\\share\\"), QStringLiteral("\\\\server\\share\\")},  // until OK
      {QStringLiteral("\\\\a.b"), QStringLiteral("\\\\a.b")},
  };
  QLineEdit* typed = form->KeyRows()->TextExe(1);
  QLineEdit* pasted = form->KeyRows()->TextExe(2);
  for (const Case& c : cases) {
    typed->setFocus();
    typed->clear();
    QTest::keyClicks(typed, c.entered);
    // Every keystroke is kept as typed, so a tab switch would lose nothing.
    EXPECT_EQ(typed->text(), c.entered);
    EXPECT_EQ(form->Settings().NetAddress(1), c.entered);
    QTest::keyClick(typed, Qt::Key_Tab);  // the focus leaves: the editing has finished
    EXPECT_EQ(Focused(), form->KeyRows()->CommandExe(1));
    EXPECT_EQ(typed->text(), c.folder);
    EXPECT_EQ(form->Settings().NetAddress(1), c.folder);

    pasted->setFocus();
    pasted->clear();
    QApplication::clipboard()->setText(c.entered);
    QTest::keyClick(pasted, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(pasted, Qt::Key_Tab);
    EXPECT_EQ(pasted->text(), c.folder);
    EXPECT_EQ(form->Settings().NetAddress(2), c.folder);
  }
  // On a machine tab the same column holds documents, uncut.
  SelectTab(1);
  typed->setFocus();
  QTest::keyClicks(typed, QStringLiteral("\\\\server\\share\\readme.pdf"));
  QTest::keyClick(typed, Qt::Key_Tab);
  EXPECT_EQ(form->Settings().Reference(1, 1), QStringLiteral("\\\\server\\share\\readme.pdf"));
}

TEST_F(EditingTest, LeavingTheNetAddressTabFinishesTheEditingOfItsField) {
  Activate();
  SelectTab(kNetTab);
  form->KeyRows()->TextExe(3)->setFocus();
  QTest::keyClicks(form->KeyRows()->TextExe(3), QStringLiteral("\\\\srv\\docs\\manual.pdf"));
  // Ctrl+Tab goes on to the first machine; the field keeps the focus and shows that machine's document.
  QTest::keyClick(form->KeyRows()->TextExe(3), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(form->TabStripMachine()->currentIndex(), 0);
  EXPECT_EQ(Focused(), form->KeyRows()->TextExe(3));
  EXPECT_EQ(form->Settings().NetAddress(3), QStringLiteral("\\\\srv\\docs"));
  EXPECT_TRUE(form->Settings().Reference(1, 3).isEmpty());
  SelectTab(kNetTab);
  EXPECT_EQ(form->KeyRows()->TextExe(3)->text(), QStringLiteral("\\\\srv\\docs"));
}

TEST_F(EditingTest, ADriveLetterIsRetypedOverTheSelectedLetter) {
  Activate();
  SelectTab(kNetTab);
  QComboBox* drive = form->NetAddresses()->ComboDrive(2);
  EXPECT_FALSE(drive->lineEdit()->hasSelectedText()) << "only the field being typed in shows a selection";
  // Tab from the password selects the letter; a typed letter replaces it.
  form->NetAddresses()->TextPassword(2)->setFocus();
  QTest::keyClick(form->NetAddresses()->TextPassword(2), Qt::Key_Tab);
  ASSERT_EQ(Focused(), drive);
  EXPECT_EQ(drive->lineEdit()->selectedText(), QStringLiteral("U"));
  auto type = [&](auto key) {
    QTest::keyClick(drive, key);
    EXPECT_EQ(drive->lineEdit()->selectedText(), drive->currentText()) << "the letter is selected again";
    return drive->currentText();
  };
  EXPECT_EQ(type('g'), QStringLiteral("G"));
  EXPECT_EQ(type('h'), QStringLiteral("H"));
  EXPECT_EQ(form->Settings().NetDrive(2), QStringLiteral("H"));
  // Backspace after the letter gives X at once; the next letter replaces the X.
  QTest::keyClick(drive, Qt::Key_End);
  EXPECT_EQ(type(Qt::Key_Backspace), QStringLiteral("X"));
  EXPECT_EQ(type('j'), QStringLiteral("J"));
  EXPECT_TRUE(port.questions.empty());
  // A letter outside G ... X still becomes X with its message.
  EXPECT_EQ(type('c'), QStringLiteral("X"));
  EXPECT_EQ(Messages(), QStringList{QStringLiteral("Fault: only 'G' To 'X'")});
  EXPECT_EQ(type('k'), QStringLiteral("K"));
  EXPECT_EQ(form->Settings().NetDrive(2), QStringLiteral("K"));

  // The drop-down opens on the current letter; Down and Enter pick the next one.
  EXPECT_EQ(drive->currentIndex(), drive->findText(QStringLiteral("K")));
  QTest::keyClick(drive, Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(drive->view()->isVisible());
  EXPECT_EQ(drive->view()->currentIndex().data().toString(), QStringLiteral("K"));
  QTest::keyClick(drive->view(), Qt::Key_Down);
  QTest::keyClick(drive->view(), Qt::Key_Return);
  EXPECT_FALSE(drive->view()->isVisible());
  EXPECT_EQ(drive->currentText(), QStringLiteral("L"));
  EXPECT_EQ(form->Settings().NetDrive(2), QStringLiteral("L"));
  EXPECT_EQ(form->EndStatus(), std::nullopt) << "Enter in the list only picks the letter";

  // A click into a drive field selects its letter as Tab does, wherever the click lands, and the
  // letter typed then replaces it; so does a letter typed after the cursor was moved off the selection.
  QComboBox* third = form->NetAddresses()->ComboDrive(3);
  Activate();  // the closed drop-down took the activation along
  for (const int x : {2, third->lineEdit()->width() - 2}) {
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                      third->lineEdit()->mapTo(form.get(), QPoint(x, 5)));
    ASSERT_EQ(Focused(), third);
    EXPECT_EQ(third->lineEdit()->selectedText(), third->currentText()) << x;
  }
  QTest::keyClick(third, 'n');
  EXPECT_EQ(third->currentText(), QStringLiteral("N"));
  QTest::keyClick(third, Qt::Key_Home);
  QTest::keyClick(third, 'p');
  EXPECT_EQ(third->currentText(), QStringLiteral("P"));
  // Pasted, two letters are still no drive.
  QApplication::clipboard()->setText(QStringLiteral("HJ"));
  QTest::keyClick(third, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(third->currentText(), QStringLiteral("X"));
  QTest::keyClick(third, 'p');
  EXPECT_EQ(Messages(), QStringList{QStringLiteral("Fault: only 'G' To 'X'")});
  form->CommandOK()->click();
  ASSERT_EQ(form->EndStatus(), 0);
  EXPECT_TRUE(Customer().contains("NetDrive2=L\r\nUser3=\r\nPassword3=\r\nNetAddress3=\r\nNetDrive3=P\r\n"))
      << Customer().toStdString();
}

TEST_F(EditingTest, AfterTheDriveFaultMessageTheNextLetterReplacesTheX) {
  // The real message box: it takes the keyboard from the window while it is shown.
  int argc = 0;
  GuiApplication gui(argc, nullptr, QStringLiteral("Documentation_Config"));
  QtUserPort qtPort(gui, QStringLiteral("Documentation_Config"), false);
  userPort = &qtPort;
  ASSERT_EQ(Load(), std::nullopt);
  qtPort.SetParent(form.get());
  LeaveEndedEventLoops();
  Activate();
  SelectTab(kNetTab);
  QComboBox* drive = form->NetAddresses()->ComboDrive(3);
  drive->setFocus(Qt::TabFocusReason);
  QString message;
  WhenShown<QMessageBox>([&](QMessageBox* box) {
    message = box->text();
    QTest::keyClick(box, Qt::Key_Return);
  });
  QTest::keyClick(drive, 'c');
  EXPECT_EQ(message, QStringLiteral("Fault: only 'G' To 'X'"));
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get())) << "the window takes the keyboard back";
  EXPECT_EQ(Focused(), drive);
  EXPECT_EQ(drive->lineEdit()->selectedText(), QStringLiteral("X"));
  QTest::keyClick(drive, 'm');
  EXPECT_EQ(drive->currentText(), QStringLiteral("M"));
  EXPECT_EQ(form->Settings().NetDrive(3), QStringLiteral("M"));
}

TEST_F(EditingTest, CtrlTabAndCtrlPageKeysSwitchTabsFromAnyField) {
  Activate();
  EXPECT_EQ(Focused(), form->KeyRows()->TextExe(1)) << "the focus starts in the first field";
  auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(Focused(), key, modifiers);
    return form->TabStripMachine()->currentIndex() + 1;
  };
  EXPECT_EQ(press(Qt::Key_Tab, Qt::ControlModifier), 2);
  EXPECT_EQ(press(Qt::Key_PageDown, Qt::ControlModifier), kNetTab);
  EXPECT_EQ(press(Qt::Key_Tab, Qt::ControlModifier), 1) << "wraps around";
  // X11 reports Ctrl+Shift+Tab as Backtab with both modifiers.
  EXPECT_EQ(press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier), kNetTab);
  // From a drive field, which the machine view hides: the focus goes to the first field.
  form->NetAddresses()->ComboDrive(4)->setFocus();
  EXPECT_EQ(press(Qt::Key_PageUp, Qt::ControlModifier), 2);
  EXPECT_EQ(Focused(), form->KeyRows()->TextExe(1));
  form->TabStripMachine()->setFocus();
  EXPECT_EQ(press(Qt::Key_PageUp, Qt::ControlModifier), 1);

  // The field keeps the keyboard: its cursor stays where it was while the new tab shows the same text,
  // and goes after a text the tab shows anew, as after a click on a tab.
  QLineEdit* field = form->KeyRows()->TextExe(2);
  field->setFocus();
  QTest::keyClicks(field, QStringLiteral("abc"));
  EXPECT_EQ(press(Qt::Key_Tab, Qt::ControlModifier), 2);
  QTest::keyClicks(field, QStringLiteral("abc"));
  QTest::keyClick(field, Qt::Key_Home);
  QTest::keyClick(field, Qt::Key_Right);
  EXPECT_EQ(press(Qt::Key_PageUp, Qt::ControlModifier), 1);
  QTest::keyClicks(field, QStringLiteral("Z"));
  EXPECT_EQ(form->Settings().Reference(1, 2), QStringLiteral("aZbc"));
  EXPECT_EQ(press(Qt::Key_PageDown, Qt::ControlModifier), 2);
  QTest::keyClicks(field, QStringLiteral("d"));
  EXPECT_EQ(form->Settings().Reference(2, 2), QStringLiteral("abcd"));
}

TEST_F(EditingTest, ClicksOnATabALabelOrTheBackgroundLoseNoTypedKey) {
  Activate();
  QTabBar* tabs = form->TabStripMachine();
  auto click = [](QWidget* widget, QPoint at) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); };
  // The selected tab clicked: the strip has the keyboard, and typed text goes to the first field.
  click(tabs, tabs->tabRect(0).center());
  EXPECT_EQ(Focused(), tabs);
  QTest::keyClicks(Focused(), QStringLiteral("abc"));
  EXPECT_EQ(form->KeyRows()->TextExe(1)->text(), QStringLiteral("abc"));
  EXPECT_EQ(form->Settings().Reference(1, 1), QStringLiteral("abc"));
  // Right and Left after a click on a tab switch tabs.
  click(tabs, tabs->tabRect(1).center());
  EXPECT_EQ(tabs->currentIndex(), 1);
  QTest::keyClick(Focused(), Qt::Key_Right);
  EXPECT_EQ(tabs->currentIndex(), 2);
  QTest::keyClick(Focused(), Qt::Key_Left);
  EXPECT_EQ(tabs->currentIndex(), 1);
  EXPECT_EQ(Focused(), tabs);

  // Labels, headers, frames and the background keep the keyboard in the field last clicked.
  click(form->KeyRows()->TextSymbol(4), {5, 5});
  ASSERT_EQ(Focused(), form->KeyRows()->TextSymbol(4));
  QWidget* background = form->Scroller()->widget();
  const QPoint gapBetweenColumns = form->MainFrame()->mapTo(background, QPoint(61, 100));
  for (QWidget* clicked :
       {static_cast<QWidget*>(form->KeyRows()->LabelKeyNumber(2)), static_cast<QWidget*>(form->Header()),
        static_cast<QWidget*>(form->KeyRows()->LabelExeHeader()),
        static_cast<QWidget*>(form->KeyRows()->FrameSymbol())}) {
    click(clicked, {2, 2});
    EXPECT_EQ(Focused(), form->KeyRows()->TextSymbol(4)) << clicked->objectName().toStdString();
  }
  click(background, gapBetweenColumns);
  click(background, {5, background->height() - 5});
  QTest::keyClicks(Focused(), QStringLiteral("xy"));
  EXPECT_EQ(form->Settings().Symbol(2, 4), QStringLiteral("xy"));
  // From the strip, typed text goes to that field too, while its tab shows it.
  click(tabs, tabs->tabRect(1).center());
  QTest::keyClicks(Focused(), QStringLiteral("z"));
  EXPECT_EQ(form->Settings().Symbol(2, 4), QStringLiteral("xyz"));
  click(tabs, tabs->tabRect(kNetTab - 1).center());
  QTest::keyClicks(Focused(), QStringLiteral("\\\\srv"));
  EXPECT_EQ(form->Settings().NetAddress(1), QStringLiteral("\\\\srv"));

  // A filled field that a tab shows anew takes typed text at its end, not in front of its value ...
  click(tabs, tabs->tabRect(0).center());
  QTest::keyClicks(Focused(), QStringLiteral("d"));
  EXPECT_EQ(form->Settings().Reference(1, 1), QStringLiteral("abcd"));
  click(tabs, tabs->tabRect(kNetTab - 1).center());
  QTest::keyClicks(Focused(), QStringLiteral("\\docs"));
  EXPECT_EQ(form->Settings().NetAddress(1), QStringLiteral("\\\\srv\\docs"));
  // ... and where the cursor was left while it still shows the value it was left with.
  QTest::keyClick(Focused(), Qt::Key_Home);
  QTest::keyClick(Focused(), Qt::Key_Right);
  click(tabs, tabs->tabRect(0).center());
  click(tabs, tabs->tabRect(kNetTab - 1).center());
  QTest::keyClicks(Focused(), QStringLiteral("\\"));
  EXPECT_EQ(form->Settings().NetAddress(1), QStringLiteral("\\\\\\srv\\docs"));
  // A selection left in the field is typed over, as the drive field's selected letter is.
  QComboBox* drive = form->NetAddresses()->ComboDrive(2);
  click(form->NetAddresses()->TextPassword(2), {5, 5});
  QTest::keyClick(Focused(), Qt::Key_Tab);
  QTest::keyClick(drive, 'h');
  ASSERT_EQ(drive->lineEdit()->selectedText(), QStringLiteral("H"));
  click(tabs, tabs->tabRect(kNetTab - 1).center());
  QTest::keyClicks(Focused(), QStringLiteral("j"));
  EXPECT_EQ(Focused(), drive);
  EXPECT_EQ(form->Settings().NetDrive(2), QStringLiteral("J"));
  EXPECT_TRUE(port.questions.empty());
}

TEST_F(EditingTest, BrowsingStartsFromTheNearestKnownFile) {
  DocumentationSettings& s = form->Settings();
  s.Symbol(1, 3) = QStringLiteral("C:\\Pics\\a.gif");
  s.Reference(1, 2) = QStringLiteral("C:\\Docs\\two.pdf");
  form->KeyRows()->CommandExe(3)->click();  // document of key 3: its symbol first
  form->KeyRows()->CommandExe(4)->click();  // key 4: nothing, key 3 has no document
  form->KeyRows()->CommandExe(1)->click();  // key 1: nothing at all
  form->KeyRows()->CommandSymbol(3)->click();
  form->KeyRows()->CommandSymbol(4)->click();  // the symbol of the key above
  ASSERT_EQ(port.picks.size(), 5u);
  EXPECT_EQ(port.picks[0].title, QStringLiteral("Browse File Htlm / Htm / Pdf"));
  EXPECT_EQ(port.picks[0].filter, QStringLiteral("*.html;*.htm;*.pdf|*.html;*.htm;*.pdf"));
  EXPECT_EQ(port.picks[0].preset, QStringLiteral("C:\\Pics\\a.gif"));
  // Nothing to start from: no preset, the dialog chooses the folder.
  EXPECT_EQ(port.picks[1].preset, QString());
  EXPECT_EQ(port.picks[2].preset, QString());
  EXPECT_EQ(port.picks[3].title, QStringLiteral("Browse File Gif / Bmp"));
  EXPECT_EQ(port.picks[3].filter, QStringLiteral("*.gif;*.bmp|*.gif;*.bmp"));
  EXPECT_EQ(port.picks[3].preset, QStringLiteral("C:\\Pics\\a.gif"));
  EXPECT_EQ(port.picks[4].preset, QStringLiteral("C:\\Pics\\a.gif"));
  // The key above's document is the last choice.
  form->KeyRows()->CommandExe(3)->click();
  s.Symbol(1, 3).clear();
  form->KeyRows()->CommandExe(3)->click();
  EXPECT_EQ(port.picks.back().preset, QStringLiteral("C:\\Docs\\two.pdf"));
  // Cancelled dialogs changed nothing.
  EXPECT_TRUE(s.Reference(1, 3).isEmpty());
  EXPECT_TRUE(form->KeyRows()->TextExe(3)->text().isEmpty());
  EXPECT_TRUE(s.Reference(1, 1).isEmpty());
}

TEST_F(EditingTest, APickedFileIsStoredAndShown) {
  port.pickedFiles = {QStringLiteral("/data/docs/manual.pdf"), QStringLiteral("/data/pics/m.bmp")};
  form->KeyRows()->CommandExe(5)->click();
  form->KeyRows()->CommandSymbol(5)->click();
  EXPECT_EQ(form->KeyRows()->TextExe(5)->text(), QStringLiteral("/data/docs/manual.pdf"));
  EXPECT_EQ(form->Settings().Reference(1, 5), QStringLiteral("/data/docs/manual.pdf"));
  EXPECT_EQ(form->KeyRows()->TextSymbol(5)->text(), QStringLiteral("/data/pics/m.bmp"));
  EXPECT_EQ(form->Settings().Symbol(1, 5), QStringLiteral("/data/pics/m.bmp"));
}

TEST_F(EditingTest, BrowsingForANetAddressStartsInsideItAndKeepsTheFolder) {
  SelectTab(kNetTab);
  form->KeyRows()->TextExe(2)->setText(QStringLiteral("\\\\srv\\docs\\"));
  form->KeyRows()->CommandExe(2)->click();
  ASSERT_EQ(port.picks.size(), 1u);
  EXPECT_EQ(port.picks[0].title, QStringLiteral("Browse Net Address"));
  EXPECT_EQ(port.picks[0].filter, QStringLiteral("*.*|*.*"));
  EXPECT_EQ(port.picks[0].preset, QStringLiteral("\\\\srv\\docs\\*.*"));
  EXPECT_EQ(form->KeyRows()->TextExe(2)->text(), QStringLiteral("\\\\srv\\docs"));
  EXPECT_EQ(form->Settings().NetAddress(2), QStringLiteral("\\\\srv\\docs"));

  port.pickedFiles = {QStringLiteral("\\\\srv\\docs\\line1\\manual.pdf")};
  form->KeyRows()->CommandExe(2)->click();
  EXPECT_EQ(form->KeyRows()->TextExe(2)->text(), QStringLiteral("\\\\srv\\docs\\line1"));
  EXPECT_EQ(form->Settings().NetAddress(2), QStringLiteral("\\\\srv\\docs\\line1"));

  form->KeyRows()->CommandExe(4)->click();
  EXPECT_EQ(port.picks.back().preset, QString());
}
