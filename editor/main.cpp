// Placeholder start: finds the installation and checks the CFG file.
#include "framework/CommandLine.h"
#include "framework/ErrorTrap.h"
#include "framework/Installation.h"
#include "framework/ProgramLocation.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char* argv[]) {
  QStringList words;
  for (int i = 1; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
  SetCommandLine(words.join(u' '));
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
