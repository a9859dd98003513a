#pragma once
// A temporary project, a scripted user and the real editor window loaded on it.

#include "core/Session.h"
#include "editor/frm_Quorvel_Exe.h"
#include "tests/core/ProjectFixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include <memory>

class EditorTest : public ProjectTest {
 protected:
  // Starts a run as the program does: the start-up, then the window (shown, kept in form) when the run
  // shows one, else the closing without it. Returns the end status, nullopt while the window is open.
  std::optional<int> Load(const QString& commandLine = {});
  // Runs a handler through the window's boundary and returns the end status, if the program ended.
  std::optional<int> Run(const std::function<void()>& handler);

  std::unique_ptr<Session> session;
  std::unique_ptr<frm_Quorvel_Exe> form;
};
