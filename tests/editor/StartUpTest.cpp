// Start-up of the window in the three modes, with and without the editor switched on.

#include "core/FormControls.h"
#include "core/WindowMessages.h"
#include "core/WindowTexts.h"
#include "tests/editor/EditorFixture.h"

#include <QDir>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

QString FreshFileText(int machines) {
  QString text;
  for (int m = 1; m <= machines; ++m) {
    text += QStringLiteral("[Machine%1]\n").arg(m);
    for (int k = 1; k <= 9; ++k) text += QStringLiteral("Reference%1=\nSymbol%1=\n").arg(k);
  }
  text += QStringLiteral("[NetAddress]\n");
  for (int i = 1; i <= 5; ++i) {
    text +=
        QStringLiteral("User%1=\nPassword%1=\nNetAddress%1=\nNetDrive%1=%2\n").arg(i).arg(QChar(u'S' + i));
  }
  return text;
}

}  // namespace

TEST_F(EditorTest, StandaloneStartShowsOneTabPerMachineAndTheNetAddressTab) {
  WriteProject({QStringLiteral("Wrapper"), QStringLiteral("Press"), QStringLiteral("Labeller")}, true,
               QStringLiteral("ALL"), {1, 3});
  WriteFile(CustomerFile(), IniText(QStringLiteral("[Machine1]\nReference1=C:\\a.pdf\nSymbol1=C:\\a.gif\n")));
  EXPECT_EQ(Load(), std::nullopt);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Erweiterte Konfiguration program - standalone"));
  EXPECT_TRUE(form->isVisible());
  ASSERT_EQ(form->TabStripMachine()->count(), 3);
  EXPECT_EQ(form->TabStripMachine()->tabText(0), QStringLiteral("Wrapper"));
  EXPECT_EQ(form->TabStripMachine()->tabText(1), QStringLiteral("Labeller"));
  EXPECT_EQ(form->TabStripMachine()->tabText(2), QStringLiteral("Net address"));
  EXPECT_EQ(form->Settings().TabMachines(), (std::vector<int16_t>{1, 3}));
  EXPECT_EQ(form->TabStripMachine()->currentIndex(), 0);
  EXPECT_EQ(form->KeyRows()->TextExe(1)->text(), QStringLiteral("C:\\a.pdf"));
  EXPECT_EQ(form->KeyRows()->TextSymbol(1)->text(), QStringLiteral("C:\\a.gif"));
  EXPECT_TRUE(form->CommandOK()->isEnabled());
  EXPECT_TRUE(form->CommandCancel()->isEnabled());
  // Drives get their defaults and each of the five lists holds G ... X.
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(form->NetAddresses()->ComboDrive(i)->currentText(), QString(QChar(u'S' + i)));
    ASSERT_EQ(form->NetAddresses()->ComboDrive(i)->count(), 18);
    EXPECT_EQ(form->NetAddresses()->ComboDrive(i)->itemText(0), QStringLiteral("G"));
    EXPECT_EQ(form->NetAddresses()->ComboDrive(i)->itemText(17), QStringLiteral("X"));
  }
  // The machine view: documents and symbols, nine rows; no user, password or drive column.
  EXPECT_TRUE(form->KeyRows()->FrameSymbol()->isVisibleTo(form.get()));
  EXPECT_FALSE(form->NetAddresses()->FrameUser()->isVisibleTo(form.get()));
  EXPECT_FALSE(form->NetAddresses()->FrameDrive()->isVisibleTo(form.get()));
  EXPECT_TRUE(form->KeyRows()->TextExe(9)->isVisibleTo(form.get()));
  EXPECT_EQ(form->KeyRows()->LabelKeyHeader()->text(), QStringLiteral("Key"));
  EXPECT_TRUE(port.questions.empty());
}

TEST_F(EditorTest, IntegratedStartTakesMachinesFromTheHost) {
  WriteProject({}, true, QStringLiteral("line10,Press"));
  // The program INI of an integrated run lies in the host's SaveAndRestore folder.
  const QString work = install.root() + QStringLiteral("/work");
  WriteFile(work + QStringLiteral("/parameter/program.ini"),
            IniText(QStringLiteral("[Project]\nVWFD=TRUE\n")));
  WriteHostIni({QStringLiteral("Line1"), QStringLiteral("Oven"), QStringLiteral("Press"), QStringLiteral("-"),
                QStringLiteral("Late")},
               work + QStringLiteral("/"));
  EXPECT_EQ(Load(QStringLiteral("EXTERNAL=QVZCFG /LOGFILE=") + install.root() + QStringLiteral("/host.log")),
            std::nullopt);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Erweiterte Konfiguration program - integriert"));
  ASSERT_EQ(form->TabStripMachine()->count(), 3);
  EXPECT_EQ(form->TabStripMachine()->tabText(0), QStringLiteral("Line1"));
  EXPECT_EQ(form->TabStripMachine()->tabText(1), QStringLiteral("Press"));
  EXPECT_EQ(form->Settings().TabMachines(), (std::vector<int16_t>{1, 3}));
}

TEST_F(EditorTest, SilentRunOnAFreshProjectWritesEveryEntryAndEnds) {
  WriteProject({QStringLiteral("A"), QStringLiteral("B")});
  EXPECT_EQ(Load(QStringLiteral("EXTERNAL=SILENT")), 0);
  EXPECT_FALSE(form) << "a silent run makes no window";
  EXPECT_EQ(Customer(), IniText(FreshFileText(2)));
  EXPECT_TRUE(ReadFile(install.programIni()).contains("WithDocumentation=false\r\n"));
  EXPECT_TRUE(ReadFile(install.cfg()).contains("[Info]\r\nS_Prog=1.0.1 - Standalone\r\nS_Editor="));
  EXPECT_TRUE(port.questions.empty());
  EXPECT_FALSE(QFile::exists(install.errorLog()));
}

TEST_F(EditorTest, ProjectWithoutTheEditorClosesAtOnceAndKeepsItsSettings) {
  WriteProject({QStringLiteral("A")}, false);
  const QByteArray settings = IniText(QStringLiteral("[Machine1]\nReference1=C:\\a.pdf\n"));
  WriteFile(CustomerFile(), settings);
  EXPECT_EQ(Load(), 0);
  EXPECT_TRUE(session->settings.TabMachines().empty());
  EXPECT_FALSE(form) << "a project without the editor makes no window";
  EXPECT_EQ(Customer(), settings);
  EXPECT_TRUE(ReadFile(install.programIni()).contains("WithDocumentation=false\r\n"));
  EXPECT_TRUE(ReadFile(install.cfg()).contains("S_Prog=1.0.1 - Standalone"));
}

TEST_F(EditorTest, MissingCfgFileEndsWithStatus1) {
  WriteProject({QStringLiteral("A")});
  QFile::remove(install.cfg());
  EXPECT_EQ(Load(), 1);
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_TRUE(port.questions[0].text.startsWith(QStringLiteral("File not found: ")));
  EXPECT_FALSE(QFile::exists(CustomerFile()));
}

TEST_F(EditorTest, MachinesBeyondFiveAreLeftOut) {
  WriteProject({"M1", "M2", "M3", "M4", "M5", "M6"});
  WriteFile(CustomerFile(), IniText(QStringLiteral("[Machine6]\nReference1=C:\\six.pdf\n")));
  EXPECT_EQ(Load(), std::nullopt);
  ASSERT_EQ(form->TabStripMachine()->count(), 6);
  EXPECT_EQ(form->TabStripMachine()->tabText(5), QStringLiteral("Net address"));
  form->TabStripMachine()->setCurrentIndex(5);
  EXPECT_EQ(form->SelectedMachine(), 0);
  EXPECT_EQ(form->KeyRows()->LabelExeHeader()->text(), QStringLiteral("Net address"));
  EXPECT_EQ(Run([this] { form->CommandOK_Click(); }), 0);
  // Machine 6 has no slot: its section stays as it was.
  EXPECT_TRUE(
      Customer().startsWith(IniText(QStringLiteral("[Machine6]\nReference1=C:\\six.pdf\n[Machine1]\n"))));
}

TEST_F(EditorTest, NoMachineTakingPartLeavesOnlyTheNetAddressTab) {
  WriteProject({QStringLiteral("A")}, true, QStringLiteral("ALL"), {});
  EXPECT_EQ(Load(), std::nullopt);
  ASSERT_EQ(form->TabStripMachine()->count(), 1);
  EXPECT_EQ(form->KeyRows()->LabelKeyHeader()->text(), QStringLiteral("No."));
}

TEST_F(EditorTest, DriveEntriesAreCheckedWhileLoading) {
  WriteProject({QStringLiteral("A")});
  WriteFile(CustomerFile(), IniText(QStringLiteral("[NetAddress]\nNetDrive1=g\nNetDrive2=C\n")));
  EXPECT_EQ(Load(), std::nullopt);
  EXPECT_EQ(form->NetAddresses()->ComboDrive(1)->currentText(), QStringLiteral("G"));
  EXPECT_EQ(form->Settings().NetDrive(1), QStringLiteral("G"));
  EXPECT_EQ(form->NetAddresses()->ComboDrive(2)->currentText(), QStringLiteral("X"));
  EXPECT_EQ(form->Settings().NetDrive(2), QStringLiteral("X"));
  EXPECT_EQ(Messages(), QStringList{QStringLiteral("Fault: only 'G' To 'X'")});
}

TEST_F(EditorTest, TabKeyGoesFromTheButtonsToTheTabsAndThenRowByRow) {
  WriteProject({QStringLiteral("A")});
  ASSERT_EQ(Load(), std::nullopt);
  // The widgets Tab reaches after OK, skipping those that take no keyboard focus.
  QStringList order;
  for (QWidget* w = form->CommandOK(); order.size() < 10; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) {
      order << w->objectName() + w->property("Index").toString();
    }
  }
  EXPECT_EQ(order,
            (QStringList{"CommandOK", "CommandCancel", "TabStripMachine", "TextExe1", "CommandExe1",
                         "TextUser1", "TextPassword1", "ComboDrive1", "TextSymbol1", "CommandSymbol1"}));
}

TEST_F(EditorTest, TheWindowsControlsAreThoseTheLanguageTextsDescribe) {
  WriteProject({QStringLiteral("A")});
  ASSERT_EQ(Load(), std::nullopt);
  // The texts are applied by position: names, indexes and kinds must line up one by one.
  auto kind = [](const QWidget* w) -> QString {
    if (qobject_cast<const QLabel*>(w)) return QStringLiteral("LABEL");
    if (qobject_cast<const QPushButton*>(w)) return QStringLiteral("COMMANDBUTTON");
    if (qobject_cast<const QLineEdit*>(w)) return QStringLiteral("TEXTBOX");
    if (qobject_cast<const QComboBox*>(w)) return QStringLiteral("COMBOBOX");
    if (qobject_cast<const QTabBar*>(w)) return QStringLiteral("TABSTRIP");
    if (qobject_cast<const QGroupBox*>(w)) return QStringLiteral("FRAME");
    return {};
  };
  const std::vector<TextControl>& described = FormControls();
  ASSERT_EQ(form->Controls().size(), described.size());
  for (size_t i = 0; i < described.size(); ++i) {
    const QWidget* widget = form->Controls()[i];
    const QVariant index = widget->property("Index");
    EXPECT_EQ(widget->objectName(), described[i].name) << i;
    EXPECT_EQ(index.isValid() ? std::optional<int>(index.toInt()) : std::nullopt, described[i].index) << i;
    EXPECT_EQ(kind(widget), described[i].className) << widget->objectName().toStdString();
  }
}

TEST_F(EditorTest, TheWindowHasAFixedSizeWithinTheScreenAndAnIcon) {
  WriteProject({QStringLiteral("A")});
  ASSERT_EQ(Load(), std::nullopt);
  EXPECT_FALSE(form->windowIcon().isNull());
  EXPECT_EQ(form->size(), QSize(794, 575));
  EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "the user cannot resize it";
  EXPECT_FALSE(form->Scroller()->horizontalScrollBar()->isVisible());
  EXPECT_FALSE(form->Scroller()->verticalScrollBar()->isVisible());

  // A screen that cannot hold the form (say a large scale factor): the window fits the screen and
  // scroll bars reach the rest; Tab scrolls the focused control into view.
  Activate();
  form->FitInto(QRect(0, 0, 640, 480));
  EXPECT_EQ(form->frameGeometry().size(), QSize(640, 480)) << "with its frame";
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  QScrollBar* across = form->Scroller()->horizontalScrollBar();
  QScrollBar* down = form->Scroller()->verticalScrollBar();
  ASSERT_TRUE(QTest::qWaitFor([&] { return across->isVisible() && down->isVisible(); }));
  EXPECT_TRUE(form->CommandCancel()->visibleRegion().isEmpty());
  QTest::keyClick(form->KeyRows()->TextExe(1), Qt::Key_Backtab, Qt::ShiftModifier);
  QTest::keyClick(form->TabStripMachine(), Qt::Key_Backtab, Qt::ShiftModifier);
  ASSERT_EQ(Focused(), form->CommandCancel());
  EXPECT_FALSE(form->CommandCancel()->visibleRegion().isEmpty());
  EXPECT_GT(down->value(), 0);
}

TEST_F(EditorTest, TheInstalledLanguageIniHoldsEveryKeyInGermanAndInEnglish) {
  WriteProject({QStringLiteral("A")});
  const QString ini = install.program() + QStringLiteral("/Documentation_Config.ini");
  QByteArray installed = ReadFile(QStringLiteral(QVZ_SOURCE_DIR "/packaging/Documentation_Config.ini"));
  ASSERT_FALSE(installed.isEmpty());
  // German by default; nothing is missing, so the program adds nothing.
  WriteFile(ini, installed);
  ASSERT_EQ(Load(), std::nullopt);
  EXPECT_EQ(form->Header()->text(), QStringLiteral("Dokumentation - Kundenkonfiguration"));
  EXPECT_EQ(form->CommandOK()->toolTip(), QStringLiteral("Einstellungen übernehmen und beenden"));
  EXPECT_EQ(ReadFile(ini), installed);
  // Every message and fixed text is translated in both languages; "0" would show the program's own.
  std::vector<TextMessage> texts = WindowMessageList();
  for (TextMessage& text : WindowTextList()) texts.push_back(std::move(text));
  for (const QString& language : {QStringLiteral("1031"), QStringLiteral("1033")}) {
    const LanguageSection section(ini, language);
    for (const TextMessage& text : texts) {
      EXPECT_TRUE(HasText(section.Read(MessageKey(text))))
          << language.toStdString() << ' ' << MessageKey(text).toStdString();
    }
  }
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Erweiterte Konfiguration program - standalone"));

  installed.replace("Language=1031", "Language=1033");
  WriteFile(ini, installed);
  ASSERT_EQ(Load(), std::nullopt);
  EXPECT_EQ(form->Header()->text(), QStringLiteral("Documentation - Customer Configuration"));
  EXPECT_EQ(form->NetAddresses()->LabelUserHeader()->text(), QStringLiteral("User"));
  EXPECT_EQ(form->KeyRows()->TextSymbol(4)->toolTip(), QStringLiteral("Symbol (GIF or BMP) of key 4"));
  EXPECT_EQ(form->CommandOK()->toolTip(), QStringLiteral("Take the settings over and close"));
  EXPECT_TRUE(form->CommandOK()->text().isEmpty()) << "a picture button";
  EXPECT_EQ(ReadFile(ini), installed);
  EXPECT_TRUE(port.questions.empty());
}
