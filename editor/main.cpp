// Documentation_Config: the customer documentation editor of an HMI project.

#include "core/RunProgram.h"
#include "editor/GuiApplication.h"
#include "editor/QtEditorWindow.h"
#include "editor/QtUserPort.h"
#include "framework/CommandLine.h"
#include "framework/ProjectContext.h"

#include <QStringList>

namespace {

// The command line: the program's arguments joined by single blanks.
QString JoinedArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments.join(u' ');
}

}  // namespace

int main(int argc, char** argv) {
  const StartMode mode = GetStartModeIntegrated(JoinedArguments(argc, argv));
  const ProgramLocation location = ProgramLocation::OfRunningProgram(argc > 0 ? argv[0] : nullptr);
  // The GUI application is made only when something is shown: a silent run never shows anything.
  GuiApplication gui(argc, argv, location.ExecutableName());
  QtUserPort port(gui, location.ExecutableName(), mode.silent);
  port.SetStartFolder(location.BaseFolder());
  ProjectContext context(location, mode, port);
  QtEditorWindow window(gui, port);
  return RunProgram(context, window);
}
