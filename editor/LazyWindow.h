#pragma once
// The user port and window of a run that may show something: the window module is loaded the first
// time a question, a file dialog or the editor must be shown. Until then nothing of the GUI is loaded,
// and events and the busy cursor need no window.

#include "editor/WindowModule.h"
#include "framework/ProgramLocation.h"

#include <QLibrary>

#include <memory>

class LazyWindow : public UserPort, public EditorWindow {
 public:
  LazyWindow(int& argc, char** argv, const ProgramLocation& location);
  ~LazyWindow() override;

  Answer Ask(const Question& question) override { return Module().Port().Ask(question); }
  std::optional<QString> PickFile(const QString& title, const QString& filter,
                                  const QString& preset) override {
    return Module().Port().PickFile(title, filter, preset);
  }
  void ProcessEvents() override;
  void SetBusy(bool busy) override;
  int Edit(Session& session) override { return Module().Window().Edit(session); }

 private:
  // The loaded module; a module that cannot be loaded is said on standard error and ends the program.
  WindowModule& Module();

  int& argc_;
  char** argv_;
  ProgramLocation location_;
  QLibrary library_;
  std::unique_ptr<WindowModule> module_;
};
