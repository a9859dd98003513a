// Starts the configuration program: reads the command line, finds the installation and checks the CFG file.
#include "framework/CommandLine.h"
#include "framework/ErrorTrap.h"
#include "framework/Installation.h"
#include "framework/ProgramLocation.h"

#include <QApplication>
#include <QFileInfo>

namespace {

// An unattended run needs no display: without one, Qt draws offscreen.
void ChoosePlatformForSilentRun() {
  if (ReadCommand(CommandLineText(), QStringLiteral("EXTERNAL")) != QStringLiteral("SILENT")) return;
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  QStringList words;
  for (int i = 1; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
  SetCommandLine(words.join(u' '));
  ChoosePlatformForSilentRun();
  QApplication app(argc, argv);
  const QFileInfo exe(QCoreApplication::applicationFilePath());
  SetProgramLocation(exe.absolutePath(), exe.completeBaseName());
  try {
    GetStartModeIntegrated();
    GetExistingMachines(GetQVZConfigurationIniPath());
    GetCFGPath();
  } catch (const ProgramEnd& end) {
    return end.status;
  }
  return 0;
}
