#include "editor/DriveLetterTyping.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

// A key that types a character, as opposed to a shortcut (Ctrl+V pastes) or a cursor key.
bool TypesACharacter(const QKeyEvent& key) {
  const Qt::KeyboardModifiers shortcuts = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  return !(key.modifiers() & shortcuts) && !key.text().isEmpty() && key.text().at(0).isPrint();
}

}  // namespace

void DriveLetterTyping::Attach(QComboBox& drive) {
  new DriveLetterTyping(drive);
}

DriveLetterTyping::DriveLetterTyping(QComboBox& drive)
    : QObject(&drive), drive_(drive), line_(drive.lineEdit()), lineObject_(line_) {
  // The field takes the keys and hands them to its line; the line takes the clicks.
  drive.installEventFilter(this);
  drive.lineEdit()->installEventFilter(this);
}

bool DriveLetterTyping::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched == static_cast<QObject*>(&drive_) &&
      TypesACharacter(*static_cast<QKeyEvent*>(event))) {
    line_->selectAll();
  } else if (event->type() == QEvent::MouseButtonRelease && watched == lineObject_) {
    // After the line has placed its cursor at the click.
    line_->selectAll();
  }
  return QObject::eventFilter(watched, event);
}
