// Documentation_Config: the customer documentation editor of an HMI project.
//
// The program itself needs Qt Core only: the window and the dialogs are a module loaded when something
// is to be shown, so an unattended run starts without the GUI libraries.

#include "core/RunProgram.h"
#include "editor/LazyWindow.h"
#include "framework/CommandLine.h"
#include "framework/HeapGrowth.h"
#include "framework/ProgramOptions.h"
#include "framework/ProjectContext.h"
#include "presets/PreviousDatabase.h"

#include <QStringList>

#include <cstdio>

namespace {

QStringList Arguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

void Print(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
  // The program's own options come first: they need no display and no installation.
  const ProgramOptions options = ReadProgramOptions(Arguments(argc, argv));
  if (options.action == ProgramAction::Help) {
    Print(stdout, UsageText());
    return 0;
  }
  if (options.action == ProgramAction::Version) {
    Print(stdout, VersionText() + u'\n');
    return 0;
  }
  if (!options.refused.isEmpty()) {
    Print(stderr, RefusedOptionText(options.refused) + u'\n');
    return 1;
  }
  GrowHeapInLargeSteps();
  StartMode mode = GetStartModeIntegrated(options.commandLine);
  // A dry run and a restore run unattended in any mode: they answer on standard output and standard
  // error, never in a window.
  const bool console = options.action == ProgramAction::DryRun || options.action == ProgramAction::Restore;
  if (console) mode.silent = true;
  mode.dryRun = options.action == ProgramAction::DryRun;
  const ProgramLocation location = ProgramLocation::OfRunningProgram(argc > 0 ? argv[0] : nullptr);
  LazyWindow window(argc, argv, location);
  // A silent run never shows anything: every question gets its default button, no dialog opens.
  QuietPort quiet;
  ConsolePort consolePort;
  UserPort& port = console       ? static_cast<UserPort&>(consolePort)
                   : mode.silent ? static_cast<UserPort&>(quiet)
                                 : window;
  ProjectContext context(location, mode, port);
  if (options.action == ProgramAction::Restore) return RestorePreviousDatabase(context);
  return RunProgram(context, window);
}
