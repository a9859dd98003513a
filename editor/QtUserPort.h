#pragma once
// The user port with Qt's dialogs: message boxes, the file dialog, event processing and the busy
// cursor. The GUI application is made when the first dialog is shown. In silent mode it never shows
// anything: every question gets its default button and a file dialog counts as cancelled, so an
// unattended run can never wait for a user (nor needs a display).

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

  Answer Ask(const Question& question) override;
  std::optional<QString> PickFile(const QString& title, const QString& filter,
                                  const QString& preset) override;
  void ProcessEvents() override;
  void SetBusy(bool busy) override;

 private:
  GuiApplication& gui_;
  QString defaultTitle_;
  bool silent_;
  QWidget* parent_ = nullptr;
  bool busy_ = false;
};

// The filter in the "description|pattern|description|pattern" form turned into Qt's form
// "description (pattern pattern)", one per line.
QString QtFileFilter(const QString& filter);
