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

DriveLetterTyping::DriveLetterTyping(QComboBox& drive) : QObject(&drive), drive_(drive) {
  // The field takes the keys and hands them to its line; the line takes the clicks.
  drive.installEventFilter(this);
  drive.lineEdit()->installEventFilter(this);
}

bool DriveLetterTyping::eventFilter(QObject* watched, QEvent* event) {
  QLineEdit* line = drive_.lineEdit();
  if (watched == &drive_ && event->type() == QEvent::KeyPress &&
      TypesACharacter(*static_cast<QKeyEvent*>(event))) {
    line->selectAll();
  } else if (watched == line && event->type() == QEvent::MouseButtonRelease) {
    // After the line has placed its cursor at the click.
    line->selectAll();
  }
  return QObject::eventFilter(watched, event);
}
