#include "editor/EditingPlace.h"

#include <QLineEdit>

void EditingPlace::Remember(const QLineEdit& field) {
  field_ = &field;
  text_ = field.text();
  cursor_ = field.cursorPosition();
  selectionStart_ = field.selectionStart();
  selectionLength_ = static_cast<int>(field.selectedText().size());
}

void EditingPlace::ResumeIn(QLineEdit& field) const {
  if (field_ != &field || field.text() != text_) {
    field.end(false);
    return;
  }
  // setSelection leaves the cursor at the selection's far end; a selection made backwards (Shift+Left)
  // keeps its cursor at the start.
  if (selectionStart_ >= 0 && selectionLength_ > 0) {
    const bool cursorAtStart = cursor_ == selectionStart_;
    field.setSelection(cursorAtStart ? selectionStart_ + selectionLength_ : selectionStart_,
                       cursorAtStart ? -selectionLength_ : selectionLength_);
  } else {
    field.setCursorPosition(cursor_);
  }
}
