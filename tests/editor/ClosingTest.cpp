// Leaving the editor: OK with its net address check and the written files, Cancel and the close box.

#include "framework/CommandLine.h"
#include "tests/editor/EditorFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTest>

namespace {

class ClosingTest : public EditorTest {
 protected:
  void SetUp() override {
    WriteProject({QStringLiteral("Line1"), QStringLiteral("Line2")}, true, "ALL", {1});
  }
  void SelectTab(int position) {
    ASSERT_LT(position, form->TabStripMachine()->count() + 1);
    form->TabStripMachine()->setCurrentIndex(position - 1);
  }
  static constexpr int kNetTab = 2;  // Line1, then the net address tab
  // OK pressed by the user, through the window's boundary.
  std::optional<int> PressOK() {
    form->CommandOK()->click();
    return form->EndStatus();
  }
  void ExpectStillEditing() {
    EXPECT_EQ(form->EndStatus(), std::nullopt);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->CommandOK()->isEnabled());
    EXPECT_TRUE(form->CommandCancel()->isEnabled());
  }
};

}  // namespace

TEST_F(ClosingTest, OkWritesTheSettingsInPlaceAndEndsWithStatus0) {
  WriteFile(CustomerFile(), IniText(QStringLiteral("[NetAddress]\nNetAddress1=\\\\srv\\docs\nNetDrive1=t\n"
                                                   "[Machine1]\nSymbol1=C:\\old.gif\nReference1=C:\\old.pdf\n"
                                                   "[Machine2]\nReference1=C:\\keep.pdf\n")));
  ASSERT_EQ(Load(), std::nullopt);
  form->KeyRows()->TextExe(1)->setText(QStringLiteral("\\\\srv\\docs\\line1\\manual.pdf"));
  form->KeyRows()->TextSymbol(2)->setText(QStringLiteral("G:\\pics\\two.gif"));
  SelectTab(2);
  form->NetAddresses()->TextUser(1)->setText(QStringLiteral("service"));
  form->NetAddresses()->TextPassword(1)->setText(QStringLiteral("pw"));
  form->NetAddresses()->ComboDrive(2)->setEditText(QStringLiteral("h"));
  EXPECT_EQ(PressOK(), 0);
  EXPECT_FALSE(form->isVisible());

  QString expected = QStringLiteral(
      "[NetAddress]\nNetAddress1=\\\\srv\\docs\nNetDrive1=T\nUser1=service\nPassword1=pw\n"
      "User2=\nPassword2=\nNetAddress2=\nNetDrive2=H\n"
      "User3=\nPassword3=\nNetAddress3=\nNetDrive3=V\n"
      "User4=\nPassword4=\nNetAddress4=\nNetDrive4=W\n"
      "User5=\nPassword5=\nNetAddress5=\nNetDrive5=X\n"
      "[Machine1]\nSymbol1=C:\\old.gif\nReference1=\\\\srv\\docs\\line1\\manual.pdf\n"
      "Reference2=\nSymbol2=G:\\pics\\two.gif\n");
  for (int k = 3; k <= 9; ++k) expected += QStringLiteral("Reference%1=\nSymbol%1=\n").arg(k);
  expected += QStringLiteral("[Machine2]\nReference1=C:\\keep.pdf\n");
  EXPECT_EQ(Customer(), IniText(expected));
  EXPECT_TRUE(ReadFile(install.programIni()).contains("WithDocumentation=true\r\n"));
  EXPECT_TRUE(ReadFile(install.cfg()).contains("S_Prog=1.0.1 - Standalone"));
  EXPECT_EQ(port.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(ClosingTest, UncoveredSharePathKeepsTheEditorOpen) {
  WriteFile(CustomerFile(), IniText(QStringLiteral("[Machine1]\nReference3=\\\\srv\\docs\\m1\\a.pdf\n"
                                                   "[NetAddress]\nNetAddress1=\\\\srv\\pub\n")));
  const QByteArray before = Customer();
  ASSERT_EQ(Load(), std::nullopt);
  EXPECT_EQ(PressOK(), std::nullopt);
  EXPECT_EQ(Messages(), QStringList{"Fault in Line1 , Key 3 , Html / Pdf - File : no net address found!"});
  ExpectStillEditing();
  // Pressed on the net address tab, the column is named as that tab shows it.
  SelectTab(2);
  EXPECT_EQ(PressOK(), std::nullopt);
  EXPECT_EQ(Messages().last(),
            QStringLiteral("Fault in Line1 , Key 3 , Net address : no net address found!"));
  ExpectStillEditing();
  EXPECT_EQ(Customer(), before);
  EXPECT_FALSE(ReadFile(install.cfg()).contains("[Info]"));

  // Corrected, OK passes; a trailing separator of a net address is removed on the way. The failed OK
  // showed the field of the fault, on the first tab.
  SelectTab(2);
  form->KeyRows()->TextExe(1)->setText(QStringLiteral("\\\\srv\\docs\\"));
  EXPECT_EQ(PressOK(), 0);
  EXPECT_EQ(form->KeyRows()->TextExe(1)->text(), QStringLiteral("\\\\srv\\docs"));
  EXPECT_TRUE(Customer().contains("NetAddress1=\\\\srv\\docs\r\n"));
}

TEST_F(ClosingTest, DoubleDriveKeepsTheEditorOpen) {
  ASSERT_EQ(Load(), std::nullopt);
  SelectTab(2);
  form->NetAddresses()->ComboDrive(1)->setEditText(QStringLiteral("G"));
  form->NetAddresses()->ComboDrive(2)->setEditText(QStringLiteral("G"));
  EXPECT_EQ(PressOK(), std::nullopt);
  EXPECT_EQ(Messages(), QStringList{"Fault: double drive in net address 1 and 2"});
  ExpectStillEditing();
  EXPECT_FALSE(QFile::exists(CustomerFile()));
}

TEST_F(ClosingTest, SilentRunWithAnUncoveredPathLogsTheFaultAndWritesNothing) {
  // The service log keeps the fixed English text under a German language INI.
  WriteFile(install.program() + QStringLiteral("/Documentation_Config.ini"),
            ReadFile(QStringLiteral(QVZ_SOURCE_DIR "/packaging/Documentation_Config.ini")));
  const QByteArray settings = IniText(QStringLiteral("[Machine1]\nSymbol2=\\\\srv\\pics\\a.gif\n"));
  WriteFile(CustomerFile(), settings);
  const QByteArray programIni = ReadFile(install.programIni());
  EXPECT_EQ(Load(QStringLiteral("EXTERNAL=SILENT")), 1);
  EXPECT_TRUE(port.questions.empty());
  EXPECT_TRUE(
      ReadFile(install.serviceLog())
          .contains("! Fault Documentation_Config: Fault in Line1 , Key 2 , Symbol : no net address found!"));
  EXPECT_EQ(Customer(), settings);
  EXPECT_EQ(ReadFile(install.programIni()), programIni);
  EXPECT_FALSE(ReadFile(install.cfg()).contains("[Info]"));
}

TEST_F(ClosingTest, CancelAsksAndEndsWithStatus2WithoutWriting) {
  ASSERT_EQ(Load(), std::nullopt);
  form->KeyRows()->TextExe(1)->setText(QStringLiteral("C:\\new.pdf"));
  form->CommandCancel()->click();  // the default answer is No
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0].title, QStringLiteral("Cancel?"));
  ExpectStillEditing();
  port.answers = {Answer::Yes};
  form->CommandCancel()->click();
  EXPECT_EQ(form->EndStatus(), 2);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(QFile::exists(CustomerFile()));
  EXPECT_FALSE(ReadFile(install.programIni()).contains("WithDocumentation"));
  EXPECT_EQ(ReadFile(install.errorLog()),
            QByteArray("Konfigurations-EXE wurde abgebrochen:     Documentation\r\n"));
}

TEST_F(ClosingTest, TheCloseBoxAsksLikeCancel) {
  ASSERT_EQ(Load(), std::nullopt);
  EXPECT_FALSE(form->close());
  ExpectStillEditing();
  port.answers = {Answer::Yes};
  EXPECT_TRUE(form->close());
  EXPECT_EQ(form->EndStatus(), 2);
  EXPECT_FALSE(QFile::exists(CustomerFile()));
}

namespace {
// A user who keeps clicking while the closing sequence runs.
class ImpatientPort : public ScriptedPort {
 public:
  std::function<void()> onEvents;
  void ProcessEvents() override {
    ScriptedPort::ProcessEvents();
    if (onEvents) onEvents();
  }
};
}  // namespace

TEST_F(ClosingTest, CloseRequestsAndASecondOkAreIgnoredWhileClosing) {
  ImpatientPort impatient;
  userPort = &impatient;
  ASSERT_EQ(Load(), std::nullopt);
  bool closed = true;
  impatient.onEvents = [&] {
    closed = form->close();
    form->RunHandler([this] { form->CommandOK_Click(); });
    form->RunHandler([this] { form->CommandCancel_Click(); });
  };
  form->CommandOK()->click();
  EXPECT_EQ(form->EndStatus(), 0);
  EXPECT_FALSE(closed);
  EXPECT_TRUE(impatient.questions.empty());
  EXPECT_EQ(impatient.eventRuns, 1);
  EXPECT_TRUE(QFile::exists(CustomerFile()));
}

TEST_F(ClosingTest, AFailedSettingsWriteEndsWithStatus1) {
  ASSERT_EQ(Load(), std::nullopt);
  QDir().mkpath(CustomerFile());
  port.answers = {Answer::Yes};
  EXPECT_EQ(PressOK(), 1);
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0].title, QStringLiteral("Unexpected error"));
}

TEST_F(ClosingTest, AnErrorAnsweredWithNoEndsAtOnce) {
  ASSERT_EQ(Load(), std::nullopt);
  QDir().mkpath(CustomerFile());
  port.answers = {Answer::No};
  EXPECT_EQ(PressOK(), 1);
  // The program ended inside the settings write: no edit info follows.
  EXPECT_FALSE(ReadFile(install.cfg()).contains("[Info]"));
}

TEST_F(ClosingTest, AFaultShowsTheTabOfItsFieldAndFocusesIt) {
  WriteProject({QStringLiteral("Line1"), QStringLiteral("Line2")}, true, "ALL", {1, 2});
  WriteFile(CustomerFile(), IniText(QStringLiteral("[Machine1]\nReference3=\\\\srv\\docs\\a.pdf\n"
                                                   "[Machine2]\nSymbol8=\\\\pics\\b.gif\n"
                                                   "[NetAddress]\nNetAddress1=\\\\srv\\pub\n")));
  ASSERT_EQ(Load(), std::nullopt);
  Activate();
  auto expectFocused = [&](int tab, QWidget* field) {
    EXPECT_EQ(form->TabStripMachine()->currentIndex() + 1, tab);
    EXPECT_EQ(Focused(), field);
    auto* combo = qobject_cast<QComboBox*>(field);
    QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(field);
    EXPECT_EQ(edit->selectedText(), edit->text()) << "the whole entry is selected, ready to retype";
  };
  // OK on the net address tab: the document of key 3 of the first machine is the fault.
  SelectTab(3);
  EXPECT_EQ(PressOK(), std::nullopt);
  expectFocused(1, form->KeyRows()->TextExe(3));
  EXPECT_EQ(form->KeyRows()->TextExe(3)->text(), QStringLiteral("\\\\srv\\docs\\a.pdf"));

  // Corrected by typing; the next fault is the symbol of key 8 of the second machine.
  QTest::keyClicks(form->KeyRows()->TextExe(3), QStringLiteral("\\\\srv\\pub\\a.pdf"));
  EXPECT_EQ(PressOK(), std::nullopt);
  EXPECT_EQ(Messages().last(), QStringLiteral("Fault in Line2 , Key 8 , Symbol : no net address found!"));
  expectFocused(2, form->KeyRows()->TextSymbol(8));

  // A double drive shows the net address tab and the second drive field of the pair.
  QTest::keyClicks(form->KeyRows()->TextSymbol(8), QStringLiteral("C:\\pics\\b.gif"));
  SelectTab(3);
  form->NetAddresses()->ComboDrive(2)->setEditText(QStringLiteral("T"));
  SelectTab(1);
  EXPECT_EQ(PressOK(), std::nullopt);
  EXPECT_EQ(Messages().last(), QStringLiteral("Fault: double drive in net address 1 and 2"));
  expectFocused(3, form->NetAddresses()->ComboDrive(2));
  QTest::keyClick(form->NetAddresses()->ComboDrive(2), 'g');
  EXPECT_EQ(PressOK(), 0);
  EXPECT_TRUE(Customer().contains("Reference3=\\\\srv\\pub\\a.pdf\r\n"));
  EXPECT_TRUE(Customer().contains("NetDrive2=G\r\n"));
}

TEST_F(ClosingTest, AValueTheSettingsFileCannotGiveBackIsRefusedOrReportedWithItsField) {
  ASSERT_EQ(Load(), std::nullopt);
  Activate();
  // A pasted path of 300 characters is refused as a whole, and the field says so.
  const QString longPath = QStringLiteral("C:\\") + QString(292, u'd') + QStringLiteral(".pdf");
  QLineEdit* document = form->KeyRows()->TextExe(2);
  document->setFocus();
  QApplication::clipboard()->setText(longPath);
  QTest::keyClick(document, Qt::Key_V, Qt::ControlModifier);
  QTRY_COMPARE(Messages(), QStringList{QStringLiteral("Fault: a value holds at most 254 characters")});
  EXPECT_TRUE(document->text().isEmpty());
  EXPECT_TRUE(form->Settings().Reference(1, 2).isEmpty());
  // 254 characters are taken, a 255th typed is not.
  const QString longest = longPath.left(250) + QStringLiteral(".pdf");
  QApplication::clipboard()->setText(longest);
  QTest::keyClick(document, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(document, 'x');
  QTRY_COMPARE(Messages().size(), 2);
  EXPECT_EQ(form->Settings().Reference(1, 2), longest);

  // A picked file with a longer path, and characters Windows-1252 has not, are reported at OK.
  port.pickedFiles = {longPath};
  form->KeyRows()->CommandSymbol(5)->click();
  auto paste = [](QLineEdit* field, const QString& text) {
    field->setFocus();
    QApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
  };
  paste(form->KeyRows()->TextSymbol(4), QStringLiteral("C:\\pics\\plan_\u2192_\u03a9.gif"));
  SelectTab(kNetTab);
  paste(form->NetAddresses()->TextUser(1), QStringLiteral("\u03a9mega"));
  auto expectRefused = [&](const QString& message, int tab, QLineEdit* field) {
    EXPECT_EQ(PressOK(), std::nullopt);
    EXPECT_EQ(Messages().last(), message);
    EXPECT_EQ(form->TabStripMachine()->currentIndex() + 1, tab);
    EXPECT_EQ(Focused(), field);
    EXPECT_EQ(field->selectedText(), field->text());
  };
  expectRefused(QStringLiteral("Fault in Line1 , Key 4 , Symbol : the character '\u2192' cannot be stored!"),
                1, form->KeyRows()->TextSymbol(4));
  QTest::keyClicks(form->KeyRows()->TextSymbol(4), QStringLiteral("C:\\pics\\plan.gif"));
  expectRefused(QStringLiteral("Fault in Line1 , Key 5 , Symbol : more than 254 characters!"), 1,
                form->KeyRows()->TextSymbol(5));
  QTest::keyClicks(form->KeyRows()->TextSymbol(5), QStringLiteral("C:\\pics\\five.gif"));
  expectRefused(QStringLiteral("Fault in net address 1 , User : the character '\u03a9' cannot be stored!"),
                kNetTab, form->NetAddresses()->TextUser(1));
  QTest::keyClicks(form->NetAddresses()->TextUser(1), QStringLiteral("Omega"));
  EXPECT_EQ(PressOK(), 0);
  EXPECT_TRUE(Customer().contains("Reference2=" + longest.toLatin1() + "\r\n"));
  EXPECT_TRUE(Customer().contains("Symbol4=C:\\pics\\plan.gif\r\n"));
  EXPECT_TRUE(Customer().contains("User1=Omega\r\n"));
}

TEST_F(ClosingTest, TheRefusalsSpeakTheLanguageOfTheLanguageIni) {
  WriteFile(install.program() + QStringLiteral("/Documentation_Config.ini"),
            ReadFile(QStringLiteral(QVZ_SOURCE_DIR "/packaging/Documentation_Config.ini")));
  WriteFile(CustomerFile(), IniText(QStringLiteral("[NetAddress]\nNetDrive2=C\n")));
  ASSERT_EQ(Load(), std::nullopt);
  EXPECT_EQ(Messages(), QStringList{QStringLiteral("Fehler: nur 'G' bis 'X'")});
  Activate();
  auto paste = [](QLineEdit* field, const QString& text) {
    field->setFocus();
    QApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
  };
  paste(form->KeyRows()->TextExe(1), QString(300, u'd'));
  QTRY_COMPARE(Messages().size(), 2);
  EXPECT_EQ(Messages().last(), QStringLiteral("Fehler: ein Wert hat höchstens 254 Zeichen"));
  // The checks of OK fill in the machine, the key or net address and the column's German caption.
  paste(form->KeyRows()->TextSymbol(2), QStringLiteral("C:\\pics\\\u03a9.gif"));
  EXPECT_EQ(PressOK(), std::nullopt);
  EXPECT_EQ(Messages().last(),
            QStringLiteral(
                "Fehler in Line1 , Taste 2 , Symbol : das Zeichen '\u03a9' kann nicht gespeichert werden!"));
  QTest::keyClicks(form->KeyRows()->TextSymbol(2), QStringLiteral("C:\\pics\\o.gif"));
  SelectTab(kNetTab);
  paste(form->NetAddresses()->TextUser(3), QStringLiteral("\u03a9"));
  EXPECT_EQ(PressOK(), std::nullopt);
  EXPECT_EQ(Messages().last(),
            QStringLiteral(
                "Fehler in Netzadresse 3 , Benutzer : das Zeichen '\u03a9' kann nicht gespeichert werden!"));

  // So do the net address check, the window's title, its tabs and headers and the file dialogs.
  QTest::keyClicks(form->NetAddresses()->TextUser(3), QStringLiteral("service"));
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Erweiterte Konfiguration program - standalone"));
  EXPECT_EQ(form->TabStripMachine()->tabText(kNetTab - 1), QStringLiteral("Netzadressen"));
  EXPECT_EQ(form->KeyRows()->LabelKeyHeader()->text(), QStringLiteral("Nr."));
  SelectTab(1);
  EXPECT_EQ(form->KeyRows()->LabelKeyHeader()->text(), QStringLiteral("Taste"));
  form->KeyRows()->TextExe(3)->setFocus();
  QTest::keyClicks(form->KeyRows()->TextExe(3), QStringLiteral("\\\\srv\\docs\\a.pdf"));
  EXPECT_EQ(PressOK(), std::nullopt);
  EXPECT_EQ(Messages().last(),
            QStringLiteral("Fehler in Line1 , Taste 3 , Html / Pdf - Datei : keine Netzadresse gefunden!"));
  SelectTab(kNetTab);
  EXPECT_EQ(PressOK(), std::nullopt);
  EXPECT_EQ(Messages().last(),
            QStringLiteral("Fehler in Line1 , Taste 3 , Netzadresse : keine Netzadresse gefunden!"));
  SelectTab(kNetTab);  // the fault showed its document
  form->KeyRows()->TextExe(1)->setFocus();
  QTest::keyClicks(form->KeyRows()->TextExe(1), QStringLiteral("\\\\srv\\docs"));
  for (const int n : {1, 2}) {
    QLineEdit* drive = form->NetAddresses()->ComboDrive(n)->lineEdit();
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, drive->mapTo(form.get(), QPoint(4, 4)));
    QTest::keyClick(form->NetAddresses()->ComboDrive(n), 'g');
  }
  EXPECT_EQ(PressOK(), std::nullopt);
  EXPECT_EQ(Messages().last(), QStringLiteral("Fehler: doppeltes Laufwerk in Netzadresse 1 und 2"));
  form->KeyRows()->CommandExe(1)->click();
  SelectTab(1);
  form->KeyRows()->CommandExe(1)->click();
  form->KeyRows()->CommandSymbol(1)->click();
  ASSERT_EQ(port.picks.size(), 3u);
  EXPECT_EQ(port.picks[0].title, QStringLiteral("Netzadresse suchen"));
  EXPECT_EQ(port.picks[1].title, QStringLiteral("Datei suchen Html / Htm / Pdf"));
  EXPECT_EQ(port.picks[2].title, QStringLiteral("Datei suchen Gif / Bmp"));
}

TEST_F(ClosingTest, ASettingsFileInUtf16KeepsEveryCharacter) {
  const QString text = QStringLiteral("[Machine1]\r\nReference1=C:\\docs\\plan_\u2192_\u03a9.pdf\r\n");
  QByteArray utf16("\xff\xfe");
  utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  WriteFile(CustomerFile(), utf16);
  ASSERT_EQ(Load(), std::nullopt);
  EXPECT_EQ(PressOK(), 0);
  const QByteArray written = Customer();
  EXPECT_TRUE(written.startsWith("\xff\xfe"));
  EXPECT_TRUE(
      QString::fromUtf16(reinterpret_cast<const char16_t*>(written.constData() + 2), (written.size() - 2) / 2)
          .contains(QStringLiteral("Reference1=C:\\docs\\plan_\u2192_\u03a9.pdf\r\n")));
}

TEST_F(ClosingTest, EnterInANetAddressFieldCutsTheFileNameAndPressesOk) {
  ASSERT_EQ(Load(), std::nullopt);
  Activate();
  SelectTab(kNetTab);
  form->KeyRows()->TextExe(1)->setFocus();
  QTest::keyClicks(form->KeyRows()->TextExe(1), QStringLiteral("\\\\srv\\docs\\v1.2"));
  QTest::keyClick(form->KeyRows()->TextExe(1), Qt::Key_Return);
  EXPECT_EQ(form->EndStatus(), 0);
  EXPECT_TRUE(Customer().contains("NetAddress1=\\\\srv\\docs\r\n"));
}

TEST_F(ClosingTest, EnterPressesOkFromEveryKindOfFieldAndOnOkItself) {
  // Each field in a run of its own: OK ends the run.
  const std::vector<std::function<QWidget*()>> fields = {
      [this] { return form->KeyRows()->TextSymbol(9); },
      [this] { return form->TabStripMachine(); },
      [this] { return form->CommandOK(); },
      [this] {
        SelectTab(kNetTab);
        return form->NetAddresses()->ComboDrive(5);
      },
      [this] {
        SelectTab(kNetTab);
        return form->NetAddresses()->TextPassword(2);
      },
  };
  for (size_t i = 0; i < fields.size(); ++i) {
    ASSERT_EQ(Load(), std::nullopt);
    Activate();
    QWidget* field = fields[i]();
    field->setFocus();
    // Both Enter keys: the main one and the keypad's.
    if (i % 2) {
      QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
    } else {
      QTest::keyClick(field, Qt::Key_Return);
    }
    EXPECT_EQ(form->EndStatus(), 0) << field->objectName().toStdString();
    EXPECT_TRUE(QFile::remove(CustomerFile()));
  }
}

TEST_F(ClosingTest, EscapeAsksLikeCancelAndEnterOnCancelPressesCancel) {
  ASSERT_EQ(Load(), std::nullopt);
  Activate();
  QTest::keyClick(Focused(), Qt::Key_Escape);
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0].title, QStringLiteral("Cancel?"));
  ExpectStillEditing();  // answered No
  SelectTab(kNetTab);
  form->NetAddresses()->ComboDrive(1)->setFocus();
  port.answers = {Answer::Yes};
  QTest::keyClick(form->NetAddresses()->ComboDrive(1), Qt::Key_Escape);
  EXPECT_EQ(form->EndStatus(), 2);
  EXPECT_FALSE(QFile::exists(CustomerFile()));

  ASSERT_EQ(Load(), std::nullopt);
  Activate();
  form->CommandCancel()->setFocus();
  QTest::keyClick(form->CommandCancel(), Qt::Key_Return);
  EXPECT_EQ(port.questions.size(), 3u);
  EXPECT_EQ(port.questions.back().title, QStringLiteral("Cancel?"));
  ExpectStillEditing();
}
