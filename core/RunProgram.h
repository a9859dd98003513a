#pragma once
// The program's run from start to end, with or without the editor's window.

#include "core/Session.h"
#include "framework/ProjectContext.h"

// The window as the run sees it.
class EditorWindow {
 public:
  virtual ~EditorWindow() = default;
  // Shows the loaded session and lets the user edit it until the program ends; returns the end status.
  virtual int Edit(Session& session) = 0;
};

// Whether the run shows the window: the project uses the editor and the run is not silent.
bool ShowsWindow(const Session& session);
// A run without window goes on here after the start-up: in silent mode OK is pressed at once,
// otherwise (the project does not use the editor) the closing sequence runs at once, updating and
// writing what was loaded. Ends the program.
[[noreturn]] void CloseWithoutWindow(Session& session);

// Start-up, then the window or the closing without it. Returns the exit status.
int RunProgram(ProjectContext& context, EditorWindow& window);
