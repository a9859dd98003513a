#pragma once
// The user port with Qt's dialogs: message boxes, the file dialog, event processing and the busy
// cursor. The GUI application is made when the first dialog is shown. In silent mode it never shows
// anything: every question gets its default button and a file dialog counts as cancelled, so an
// unattended run can never wait for a user (nor needs a display).
//
// A question that is not escapable can only be answered with its buttons: Escape and the close box do
// nothing. The file dialog accepts the name of a file that does not exist yet. It opens in the nearest
// existing folder of its preset; without one (an empty preset, a share not mounted here) in the folder
// of the last file picked during the run, else in the start folder.

#include "editor/GuiApplication.h"
#include "framework/UserPort.h"

class QWidget;

class QtUserPort : public UserPort {
 public:
  // defaultTitle titles boxes whose question names none.
  QtUserPort(GuiApplication& gui, QString defaultTitle, bool silent)
      : gui_(gui), defaultTitle_(std::move(defaultTitle)), silent_(silent) {}
  // Dialogs are shown over the window once there is one.
  void SetParent(QWidget* parent) { parent_ = parent; }
  // Where a file dialog opens when neither its preset nor an earlier pick gives a folder: the project's
  // base folder.
  void SetStartFolder(const QString& folder) { startFolder_ = folder; }

  Answer Ask(const Question& question) override;
  std::optional<QString> PickFile(const QString& title, const QString& filter,
                                  const QString& preset) override;
  void ProcessEvents() override;
  void SetBusy(bool busy) override;

 private:
  // After a dialog: the window under it takes the keyboard again.
  void GiveKeyboardBack();

  GuiApplication& gui_;
  QString defaultTitle_;
  bool silent_;
  QWidget* parent_ = nullptr;
  bool busy_ = false;
  QString startFolder_;
  QString lastFolder_;  // of the last file picked during the run
};

// The filter in the "description|pattern|description|pattern" form turned into Qt's form
// "description (pattern pattern)", one per line.
QString QtFileFilter(const QString& filter);
