// The window on the demo project. With QVZ_SCREENSHOT_DIR set, the two views are saved there as
// screenshot.png (machine tab) and screenshot-net.png (net address tab).

#include "tests/editor/EditorFixture.h"

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
  ASSERT_EQ(form->TabStripMachine->count(), 3);
  EXPECT_EQ(form->TabStripMachine->tabText(1), QStringLiteral("Palletiser"));
  EXPECT_EQ(form->Header->text(), QStringLiteral("Dokumentation - Kundenkonfiguration"));
  EXPECT_EQ(form->CommandOK->toolTip(), QStringLiteral("Einstellungen übernehmen und beenden"));
  EXPECT_FALSE(form->CommandOK->icon().isNull());
  EXPECT_FALSE(form->CommandCancel->icon().isNull());

  const QPixmap machineView = form->grab();
  EXPECT_EQ(machineView.size(), QSize(794, 575));
  form->TabStripMachine->setCurrentIndex(2);
  const QPixmap netView = form->grab();
  const QString folder = qEnvironmentVariable("QVZ_SCREENSHOT_DIR");
  if (!folder.isEmpty()) {
    EXPECT_TRUE(machineView.save(folder + QStringLiteral("/screenshot.png")));
    EXPECT_TRUE(netView.save(folder + QStringLiteral("/screenshot-net.png")));
  }
}
