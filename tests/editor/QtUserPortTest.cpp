// The Qt user port: real message boxes with their title and default button, and never a dialog in a
// silent run.

#include "editor/QtUserPort.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

TEST(QtUserPort, FilterTakesQtForm) {
  EXPECT_EQ(QtFileFilter(QStringLiteral("*.html;*.htm|*.html;*.htm")),
            QStringLiteral("*.html;*.htm (*.html *.htm)"));
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
