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
#include <ostream>

// Failed expectations show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

class EditorTest : public ProjectTest {
 protected:
  // Starts a run as the program does: the start-up, then the window (shown, kept in form) when the run
  // shows one, else the closing without it. Returns the end status, nullopt while the window is open.
  std::optional<int> Load(const QString& commandLine = {});
  // Runs a handler through the window's boundary and returns the end status, if the program ended.
  std::optional<int> Run(const std::function<void()>& handler);
  // Makes the window the active one, so that it takes keys and focus as on a desktop.
  void Activate();
  // The widget that has the keyboard focus.
  static QWidget* Focused();

  std::unique_ptr<Session> session;
  std::unique_ptr<frm_Quorvel_Exe> form;
};
