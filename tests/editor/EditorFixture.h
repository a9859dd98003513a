#pragma once
// A temporary project, a scripted user and the real editor window loaded on it.

#include "core/Session.h"
#include "editor/KeyRowsPanel.h"
#include "editor/NetAddressPanel.h"
#include "editor/frm_Quorvel_Exe.h"
#include "tests/core/ProjectFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

#include <functional>
#include <memory>
#include <ostream>

// Runs action on the next modal dialog of type D as soon as it is shown.
template <class D>
void WhenShown(std::function<void(D*)> action) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, qApp, [poll, action] {
    auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    poll->deleteLater();
    poll->stop();
    action(dialog);
  });
  poll->start(5);
}

// A window test that ended the program called QCoreApplication::exit(), which makes every nested event
// loop (a dialog's) return at once until the application's own loop has run again: this runs it.
void LeaveEndedEventLoops();

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
