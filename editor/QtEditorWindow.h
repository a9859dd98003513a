#pragma once
// The run's window: the editor made with Qt Widgets, shown over the loaded session until the program
// ends.

#include "core/RunProgram.h"
#include "editor/GuiApplication.h"
#include "editor/QtUserPort.h"

class QtEditorWindow : public EditorWindow {
 public:
  QtEditorWindow(GuiApplication& gui, QtUserPort& port) : gui_(gui), port_(port) {}
  int Edit(Session& session) override;

 private:
  GuiApplication& gui_;
  QtUserPort& port_;
};
