#pragma once
// A drive field holds one letter. A letter typed into it replaces that letter wherever the cursor
// stands, and a click into it selects the letter as Tab does: typing one letter never gives two, which
// the drive check would turn into X without a word. Pasted text is left alone.

#include <QObject>

class QLineEdit;

class QComboBox;

class DriveLetterTyping : public QObject {
  Q_OBJECT

 public:
  // Watches the drive field; it is owned by the field.
  static void Attach(QComboBox& drive);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit DriveLetterTyping(QComboBox& drive);

  QComboBox& drive_;
  // The field's line, kept apart: events still arrive while the field and its line are being
  // destroyed, when neither may be asked anything; only typed keys and clicks use them.
  QLineEdit* const line_;
  const QObject* const lineObject_;
};
