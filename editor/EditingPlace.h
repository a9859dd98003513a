#pragma once
// Where the user left a text field: its text, cursor and selection at the moment it lost the keyboard.
// The window refills its fields when a tab shows other values and shows a long path from its beginning;
// keys typed on the tab strip go back to the field, and a field that keeps the keyboard through Ctrl+Tab
// goes on, where the user left off, or after the text when the field shows another value by now.

#include <QPointer>
#include <QString>

class QLineEdit;

class EditingPlace {
 public:
  // Called before the field's own handling of its focus loss, which may change its text.
  void Remember(const QLineEdit& field);
  // Puts the cursor (and the selection) back where field was left; at the end of a text that changed.
  void ResumeIn(QLineEdit& field) const;

 private:
  QPointer<const QLineEdit> field_;
  QString text_;
  int cursor_ = 0;
  int selectionStart_ = -1;  // -1 when nothing was selected
  int selectionLength_ = 0;
};
