#pragma once
// The user port with Qt's dialogs: message boxes, the open-file dialog, event processing and the busy
// cursor. In silent mode it never shows anything: every question gets its default button and a file
// dialog counts as cancelled, so an unattended run can never wait for a user.

#include "framework/UserPort.h"

class QWidget;

class QtUserPort : public UserPort {
 public:
  explicit QtUserPort(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  Answer Ask(const Question& question) override;
  std::optional<QString> PickFile(const QString& title, const QString& filter,
                                  const QString& preset) override;
  void ProcessEvents() override;
  void SetBusy(bool busy) override;

 private:
  QWidget* parent_;
  bool busy_ = false;
};

// The filter in the "description|pattern|description|pattern" form turned into Qt's form
// "description (pattern pattern)", one per line.
QString QtFileFilter(const QString& filter);
