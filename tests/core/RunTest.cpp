// The run without a window: silent runs and projects without the editor go from start-up to the
// closing sequence without any widget or GUI application.

#include "core/RunProgram.h"
#include "tests/core/ProjectFixture.h"

#include <QCoreApplication>

namespace {

// A window that must not be shown.
class NoWindow : public EditorWindow {
 public:
  int Edit(Session&) override {
    ++shown;
    return -1;
  }
  int shown = 0;
};

class RunTest : public ProjectTest {
 protected:
  int Run(const QString& commandLine = {}) {
    context = install.Context(*userPort, commandLine);
    return RunProgram(*context, window);
  }
  NoWindow window;
};

}  // namespace

TEST_F(RunTest, SilentRunAndAProjectWithoutTheEditorMakeNoWindow) {
  WriteProject({QStringLiteral("Line1")});
  WriteFile(CustomerFile(), IniText(QStringLiteral("[NetAddress]\nNetDrive1=g\nNetDrive5=C\n")));
  EXPECT_EQ(Run(QStringLiteral("EXTERNAL=SILENT")), 0) << ReadFile(install.serviceLog()).toStdString();
  // The drive check corrects the letters without asking anybody.
  EXPECT_TRUE(port.questions.empty());
  EXPECT_TRUE(Customer().contains("NetDrive1=G\r\n"));
  EXPECT_TRUE(Customer().contains("NetDrive5=X\r\n"));

  WriteProject({QStringLiteral("Line1")}, false);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(window.shown, 0);
  EXPECT_EQ(QCoreApplication::instance(), nullptr);
  EXPECT_TRUE(ReadFile(install.cfg()).contains("S_Prog=1.0.1 - Standalone"));
}

TEST_F(RunTest, AProjectThatUsesTheEditorShowsTheWindowOnTheLoadedSettings) {
  WriteProject({QStringLiteral("Line1"), QStringLiteral("Line2")}, true, QStringLiteral("ALL"), {2});
  WriteFile(CustomerFile(), IniText(QStringLiteral("[Machine2]\nReference1=C:\\two.pdf\n"
                                                   "[NetAddress]\nNetAddress1=\\\\srv\\docs\\readme.txt\n")));
  struct Inspect : EditorWindow {
    int Edit(Session& session) override {
      tabs = session.settings.TabMachines();
      reference = session.settings.Reference(2, 1);
      netAddress = session.settings.NetAddress(1);
      title = session.windowTitle;
      return 7;
    }
    std::vector<int16_t> tabs;
    QString reference, netAddress, title;
  } inspect;
  context = install.Context(port);
  EXPECT_EQ(RunProgram(*context, inspect), 7);
  EXPECT_EQ(inspect.tabs, std::vector<int16_t>{2});
  EXPECT_EQ(inspect.reference, QStringLiteral("C:\\two.pdf"));
  // A net address names a folder, also when the file held a file name.
  EXPECT_EQ(inspect.netAddress, QStringLiteral("\\\\srv\\docs"));
  EXPECT_EQ(inspect.title, QStringLiteral("Erweiterte Konfiguration program - standalone"));
}
