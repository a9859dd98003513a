// Documentation_Config: the customer documentation editor of an HMI project.
//
// The program itself needs Qt Core only: the window and the dialogs are a module loaded when something
// is to be shown, so an unattended run starts without the GUI libraries.

#include "core/RunProgram.h"
#include "editor/LazyWindow.h"
#include "framework/CommandLine.h"
#include "framework/HeapGrowth.h"
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
  GrowHeapInLargeSteps();
  const StartMode mode = GetStartModeIntegrated(JoinedArguments(argc, argv));
  const ProgramLocation location = ProgramLocation::OfRunningProgram(argc > 0 ? argv[0] : nullptr);
  LazyWindow window(argc, argv, location);
  // A silent run never shows anything: every question gets its default button, no dialog opens.
  QuietPort quiet;
  UserPort& port = mode.silent ? static_cast<UserPort&>(quiet) : window;
  ProjectContext context(location, mode, port);
  return RunProgram(context, window);
}
