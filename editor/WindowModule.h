#pragma once
// The window as a module of its own (Documentation_Config_window beside the program): the Qt Widgets
// part of the program is loaded only when a run has something to show, so a run that shows nothing
// (silent, a project without the editor) starts without the GUI libraries. This header knows no widget.

#include "core/RunProgram.h"
#include "framework/UserPort.h"

class WindowModule {
 public:
  virtual ~WindowModule() = default;
  // The Qt dialogs (message boxes, file dialogs).
  virtual UserPort& Port() = 0;
  // The editor's window.
  virtual EditorWindow& Window() = 0;
};

// The module's one entry point. argc and argv must outlive the module (Qt keeps them); file dialogs
// without a preset start in startFolder; Qt's own texts follow the language code.
using CreateWindowModuleFunction = WindowModule* (*)(int* argc, char** argv, const char* programName,
                                                     const char* startFolder, const char* language);
inline constexpr char kCreateWindowModule[] = "CreateWindowModule";
// The module's file name without its platform's suffix (.so, .dll).
inline constexpr char kWindowModuleName[] = "Documentation_Config_window";
