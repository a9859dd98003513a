// The window on the demo project. With QVZ_SCREENSHOT_DIR set, the views are saved there as
// screenshot.png (machine tab), screenshot-net.png (net address tab) and screenshot-en.png (the net
// address tab in English, with the installed language INI).

#include "tests/editor/EditorFixture.h"

#include <QAccessible>
#include <QDir>
#include <QDirIterator>
#include <QPixmap>

namespace {

void CopyTree(const QString& from, const QString& to) {
  QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    if (file.endsWith(QStringLiteral("CMakeLists.txt")) || file.endsWith(QStringLiteral(".sql"))) continue;
    const QString target = to + file.mid(from.size());
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    QFile::copy(file, target);
  }
}

}  // namespace

TEST_F(EditorTest, DemoProjectShowsItsMachinesAndLanguageTexts) {
  CopyTree(QStringLiteral(QVZ_SOURCE_DIR "/demo"), install.base());
  ASSERT_EQ(Load(), std::nullopt);
  EXPECT_TRUE(port.questions.empty());
  ASSERT_EQ(form->TabStripMachine()->count(), 3);
  EXPECT_EQ(form->TabStripMachine()->tabText(1), QStringLiteral("Palletiser"));
  EXPECT_EQ(form->Header()->text(), QStringLiteral("Dokumentation - Kundenkonfiguration"));
  EXPECT_EQ(form->CommandOK()->toolTip(), QStringLiteral("Einstellungen übernehmen und beenden"));
  EXPECT_FALSE(form->CommandOK()->icon().isNull());
  EXPECT_FALSE(form->CommandCancel()->icon().isNull());

  // A screen reader meets every control by its column and row, with the language's tool-tip.
  auto read = [](QWidget* widget, QAccessible::Text text) {
    return QAccessible::queryAccessibleInterface(widget)->text(text);
  };
  for (QWidget* control : form->Controls()) {
    if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QComboBox*>(control) &&
        !qobject_cast<QPushButton*>(control) && !qobject_cast<QGroupBox*>(control)) {
      continue;
    }
    EXPECT_FALSE(read(control, QAccessible::Name).isEmpty())
        << control->objectName().toStdString() << control->property("Index").toInt();
  }
  // The headers a tab sets come from the language INI as well.
  EXPECT_EQ(form->KeyRows()->LabelKeyHeader()->text(), QStringLiteral("Taste"));
  EXPECT_EQ(read(form->KeyRows()->TextExe(3), QAccessible::Name), QStringLiteral("Html / Pdf - Datei 3"));
  EXPECT_EQ(read(form->KeyRows()->TextExe(3), QAccessible::Description),
            QStringLiteral("Dokument (HTML oder PDF) der Taste 3 oder Netzadresse 3 (\\\\Server\\Freigabe)"));
  EXPECT_EQ(read(form->KeyRows()->CommandSymbol(3), QAccessible::Name), QStringLiteral("Symbol 3 ..."));
  EXPECT_EQ(read(form->CommandOK(), QAccessible::Name),
            QStringLiteral("Einstellungen übernehmen und beenden"));
  const auto labelled = QAccessible::queryAccessibleInterface(form->KeyRows()->LabelKeyNumber(3))
                            ->relations(QAccessible::Labelled);
  ASSERT_EQ(labelled.size(), 1);
  EXPECT_EQ(labelled[0].first->object(), form->KeyRows()->TextExe(3));
  EXPECT_EQ(read(form->MainFrame(), QAccessible::Name), QStringLiteral("Wrapper"));

  const QPixmap machineView = form->grab();
  EXPECT_EQ(machineView.size(), QSize(794, 575));
  form->TabStripMachine()->setCurrentIndex(2);
  EXPECT_EQ(form->TabStripMachine()->tabText(2), QStringLiteral("Netzadressen"));
  EXPECT_EQ(form->KeyRows()->LabelKeyHeader()->text(), QStringLiteral("Nr."));
  EXPECT_EQ(read(form->KeyRows()->TextExe(2), QAccessible::Name), QStringLiteral("Netzadresse 2"));
  // A drive field is named through the line it is typed in (Linux names the drop-down by its value).
  EXPECT_EQ(read(form->NetAddresses()->ComboDrive(2)->lineEdit(), QAccessible::Name),
            QStringLiteral("Laufwerk 2"));
  const QPixmap netView = form->grab();
  const QString folder = qEnvironmentVariable("QVZ_SCREENSHOT_DIR");
  if (!folder.isEmpty()) {
    EXPECT_TRUE(machineView.save(folder + QStringLiteral("/screenshot.png")));
    EXPECT_TRUE(netView.save(folder + QStringLiteral("/screenshot-net.png")));
  }

  // In English: the installed language INI with [Language] Language=1033.
  QByteArray english = ReadFile(QStringLiteral(QVZ_SOURCE_DIR "/packaging/Documentation_Config.ini"));
  english.replace("Language=1031", "Language=1033");
  WriteFile(install.program() + QStringLiteral("/Documentation_Config.ini"), english);
  ASSERT_EQ(Load(), std::nullopt);
  EXPECT_EQ(form->Header()->text(), QStringLiteral("Documentation - Customer Configuration"));
  form->TabStripMachine()->setCurrentIndex(2);
  EXPECT_EQ(form->NetAddresses()->LabelDriveHeader()->text(), QStringLiteral("Drive"));
  EXPECT_EQ(form->KeyRows()->LabelExeHeader()->text(), QStringLiteral("Net address"));
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Extended configuration program - standalone"));
  const QPixmap englishView = form->grab();
  EXPECT_EQ(englishView.size(), QSize(794, 575));
  if (!folder.isEmpty()) {
    EXPECT_TRUE(englishView.save(folder + QStringLiteral("/screenshot-en.png")));
  }
}
