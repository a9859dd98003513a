// The Qt user port: real message boxes with their title, default button and Escape rule, the file dialog
// with its start folder, and never a dialog in a silent run.

#include "editor/QtTranslation.h"
#include "editor/QtUserPort.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// A port that shows real dialogs.
class QtPortTest : public ::testing::Test {
 protected:
  void SetUp() override { LeaveEndedEventLoops(); }
  int argc = 0;
  GuiApplication gui{argc, nullptr, QStringLiteral("Documentation_Config")};
  QtUserPort port{gui, QStringLiteral("Documentation_Config"), false};
};

}  // namespace

TEST(QtUserPort, FilterTakesQtForm) {
  EXPECT_EQ(QtFileFilter(QStringLiteral("*.html;*.htm;*.pdf|*.html;*.htm;*.pdf")),
            QStringLiteral("*.html;*.htm;*.pdf (*.html *.htm *.pdf)"));
  EXPECT_EQ(QtFileFilter(QStringLiteral("*.*|*.*")), QStringLiteral("*.* (*.*)"));
}

TEST(QtUserPort, SilentRunAnswersWithTheDefaultWithoutShowingAnything) {
  int argc = 0;
  GuiApplication gui(argc, nullptr, QStringLiteral("Documentation_Config"));
  QtUserPort port(gui, QStringLiteral("Documentation_Config"), true);
  EXPECT_EQ(port.Ask(Question{QStringLiteral("Cancel?"), {}, Buttons::YesNo, Answer::No, Icon::Exclamation}),
            Answer::No);
  EXPECT_EQ(port.PickFile(QStringLiteral("Browse"), QStringLiteral("*.*|*.*"), QString()), std::nullopt);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtUserPort, MessageBoxCarriesTitleButtonsAndDefault) {
  int argc = 0;
  GuiApplication gui(argc, nullptr, QStringLiteral("Documentation_Config"));
  QtUserPort port(gui, QStringLiteral("Documentation_Config"), false);
  // Earlier window tests ended the program with QCoreApplication::exit(), which makes every nested event
  // loop return at once until the application's own loop has run again.
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
  QString title;
  QString text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    box->defaultButton()->click();
  });
  const Answer answer = port.Ask(Question{
      QStringLiteral("Cancel edits?\n\rRemark:\r\nnone"), {}, Buttons::YesNo, Answer::No, Icon::Exclamation});
  EXPECT_EQ(answer, Answer::No);
  EXPECT_EQ(title, QStringLiteral("Documentation_Config"));
  EXPECT_EQ(text, QStringLiteral("Cancel edits?\nRemark:\nnone"));
}

TEST_F(QtPortTest, AQuestionThatIsNotEscapableWaitsForItsButtons) {
  Question resume{QStringLiteral("Unexpected error!\n\rResume?"), QStringLiteral("Unexpected error"),
                  Buttons::YesNo, Answer::Yes, Icon::Critical};
  resume.escapable = false;
  bool stayed = false;
  WhenShown<QMessageBox>([&](QMessageBox* box) {
    QTest::keyClick(box, Qt::Key_Escape);
    const bool closed = box->close();
    stayed = !closed && box->isVisible();
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(port.Ask(resume), Answer::No);
  EXPECT_TRUE(stayed) << "Escape and the close box gave no answer";

  // An ordinary Yes/No question: Escape answers No.
  WhenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_EQ(port.Ask(Question{QStringLiteral("Cancel edits?"), QStringLiteral("Cancel?"), Buttons::YesNo,
                              Answer::Yes, Icon::Exclamation}),
            Answer::No);
}

TEST_F(QtPortTest, TheFileDialogStartsInTheNearestFolderAndRemembersTheLastOne) {
  QTemporaryDir dir;
  const QString base = dir.path();
  QDir().mkpath(base + QStringLiteral("/docs"));
  QDir().mkpath(base + QStringLiteral("/symbols"));
  WriteFile(base + QStringLiteral("/docs/manual.pdf"), "%PDF");
  WriteFile(base + QStringLiteral("/symbols/stop.gif"), "GIF89a");
  port.SetStartFolder(base);
  const QString documents = QStringLiteral("*.html;*.htm;*.pdf|*.html;*.htm;*.pdf");

  // A share that is not mounted here: the base folder; the dialog lists documents and takes a new name.
  QString folder;
  QStringList filters;
  bool anyFile = false;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    folder = dialog->directory().absolutePath();
    filters = dialog->nameFilters();
    anyFile = dialog->fileMode() == QFileDialog::AnyFile;
    dialog->setDirectory(base + QStringLiteral("/docs"));
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QTest::keyClicks(name, QStringLiteral("line1/new.pdf"));
    QTest::keyClick(name, Qt::Key_Return);
  });
  EXPECT_EQ(port.PickFile(QStringLiteral("Browse File Htlm / Htm / Pdf"), documents,
                          QStringLiteral("\\\\hmi-server\\docs\\Wrapper\\a.pdf")),
            base + QStringLiteral("/docs/line1/new.pdf"));
  EXPECT_EQ(folder, base);
  EXPECT_EQ(filters, QStringList{QStringLiteral("*.html;*.htm;*.pdf (*.html *.htm *.pdf)")});
  EXPECT_TRUE(anyFile);

  // No preset: the folder of the last pick, or the nearest one that exists.
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    folder = dialog->directory().absolutePath();
    dialog->reject();
  });
  EXPECT_EQ(port.PickFile(QStringLiteral("Browse File Htlm / Htm / Pdf"), documents, QString()),
            std::nullopt);
  EXPECT_EQ(folder, base + QStringLiteral("/docs"));

  // A preset written with Windows separators: its folder, with the file selected.
  QString preset = base + QStringLiteral("/symbols/stop.gif");
  preset.replace(u'/', u'\\');
  QStringList selected;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    folder = dialog->directory().absolutePath();
    selected = dialog->selectedFiles();
    QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
  });
  EXPECT_EQ(port.PickFile(QStringLiteral("Browse File Gif / Bmp"), QStringLiteral("*.gif;*.bmp|*.gif;*.bmp"),
                          preset),
            base + QStringLiteral("/symbols/stop.gif"));
  EXPECT_EQ(folder, base + QStringLiteral("/symbols"));
  EXPECT_EQ(selected, QStringList{base + QStringLiteral("/symbols/stop.gif")});
}

TEST_F(QtPortTest, TheFileDialogTakesNoFolderForAFile) {
  QTemporaryDir dir;
  const QString base = dir.path();
  QDir().mkpath(base + QStringLiteral("/docs/line1"));
  port.SetStartFolder(base);
  // A folder named, with or without a closing slash, and a new name ending in one: Open keeps the
  // dialog open (in the named folder, when it exists) until a file is named.
  QStringList stayedIn;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QPushButton* open = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    auto openWith = [&](const QString& typed) {
      name->setText(typed);
      if (open->isEnabled()) QTest::mouseClick(open, Qt::LeftButton);
    };
    for (const QString& typed : {QStringLiteral("docs/"), QStringLiteral("line1"), QStringLiteral("new/")}) {
      openWith(typed);
      if (dialog->isVisible()) stayedIn << dialog->directory().absolutePath();
    }
    openWith(QStringLiteral("plan.pdf"));
    if (dialog->isVisible()) dialog->reject();
  });
  EXPECT_EQ(port.PickFile(QStringLiteral("Browse File Htlm / Htm / Pdf"), QStringLiteral("*.pdf|*.pdf"), {}),
            base + QStringLiteral("/docs/line1/plan.pdf"));
  EXPECT_EQ(stayedIn, (QStringList{base + QStringLiteral("/docs"), base + QStringLiteral("/docs/line1"),
                                   base + QStringLiteral("/docs/line1")}));
}

TEST_F(QtPortTest, QtsOwnButtonsSpeakTheWindowsLanguage) {
  auto buttonTexts = [&] {
    QStringList texts;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
      for (QAbstractButton* button : box->buttons()) texts << button->text().remove(u'&');
      box->button(QMessageBox::No)->click();
    });
    port.Ask(Question{QStringLiteral("Cancel edits?"), {}, Buttons::YesNo, Answer::No, Icon::Exclamation});
    texts.sort();
    return texts;
  };
  gui.SetLanguage(QStringLiteral("1031"));
  EXPECT_EQ(buttonTexts(), (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein")}));
  gui.SetLanguage(QStringLiteral("1033"));
  EXPECT_EQ(buttonTexts(), (QStringList{QStringLiteral("No"), QStringLiteral("Yes")}));
  EXPECT_EQ(QtLocaleNameOf(QStringLiteral("2055")), QStringLiteral("de"));  // German (Switzerland)
  EXPECT_EQ(QtLocaleNameOf(QStringLiteral("0")), QString());
}
