#include "framework/RuntimeState.h"

#include "framework/CommandLine.h"
#include "framework/Installation.h"

void ResetRuntimeState() {
  IntegratedMode = false;
  SilentMode = false;
  SetCommandLine(QString());
  ProgramIniPath.clear();
  ExistingMachines.clear();
  runtime_state::ResetErrorHandling();
}
