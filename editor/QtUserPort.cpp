#include "editor/QtUserPort.h"

#include "core/FieldRules.h"
#include "framework/Text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>

namespace {

// A message box that may refuse to be closed without an answer: Qt takes the No button of a Yes/No box
// as its Escape answer, and a box that cannot be escaped must not give that answer by itself.
class AnswerBox : public QMessageBox {
 public:
  AnswerBox(QWidget* parent, bool escapable) : QMessageBox(parent), escapable_(escapable) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (!escapable_ && event->matches(QKeySequence::Cancel)) return;
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (!escapable_) {
      event->ignore();
      return;
    }
    QMessageBox::closeEvent(event);
  }

 private:
  bool escapable_;
};

// A file dialog that takes files only. Qt's dialog opens a folder that is named; a new name that ends
// in a separator would be taken as a file, so Open keeps the dialog open then.
class FileOnlyDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

  void accept() override {
    const auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString typed = name ? name->text().trimmed() : QString();
    const QStringList files = selectedFiles();
    if (EndsInFolderSeparator(typed) && (files.isEmpty() || !QFileInfo(files.first()).isDir())) return;
    QFileDialog::accept();
  }

  static bool EndsInFolderSeparator(const QString& path) {
    return path.endsWith(u'/') || path.endsWith(u'\\');
  }
};

QMessageBox::Icon BoxIcon(Icon icon) {
  switch (icon) {
    case Icon::Critical:
      return QMessageBox::Critical;
    case Icon::Exclamation:
      return QMessageBox::Warning;
    case Icon::Information:
      return QMessageBox::Information;
    case Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton BoxButton(Answer answer) {
  switch (answer) {
    case Answer::Yes:
      return QMessageBox::Yes;
    case Answer::No:
      return QMessageBox::No;
    case Answer::Ok:
      break;
  }
  return QMessageBox::Ok;
}

}  // namespace

QString QtFileFilter(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(u';', u' ');
    filters << parts[i] + QStringLiteral(" (") + patterns + QStringLiteral(")");
  }
  return filters.join(QStringLiteral(";;"));
}

Answer QtUserPort::Ask(const Question& question) {
  if (silent_) return question.defaultAnswer;
  gui_.Ensure();
  AnswerBox box(parent_, question.escapable);
  box.setWindowTitle(question.title.isEmpty() ? defaultTitle_ : question.title);
  // The system's messages separate lines by line feed and carriage return, a few by CR LF.
  QString text = question.text;
  text.replace(kLineBreak, QStringLiteral("\n"));
  text.replace(kCrLf, QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  box.setText(text);
  box.setIcon(BoxIcon(question.icon));
  if (question.buttons == Buttons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  box.setDefaultButton(BoxButton(question.defaultAnswer));
  // The busy cursor must not hide the arrow while a question waits.
  if (busy_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int pressed = box.exec();
  if (busy_) QApplication::restoreOverrideCursor();
  GiveKeyboardBack();
  if (question.buttons == Buttons::Ok) return Answer::Ok;
  if (pressed == QMessageBox::Yes) return Answer::Yes;
  if (pressed == QMessageBox::No) return Answer::No;
  return question.defaultAnswer;
}

std::optional<QString> QtUserPort::PickFile(const QString& title, const QString& filter,
                                            const QString& preset) {
  if (silent_) return std::nullopt;
  gui_.Ensure();
  const QString folder = DialogStartFolder(preset, DialogStartFolder(lastFolder_, startFolder_));
  // Qt's own dialog: a native one may insist on existing files.
  FileOnlyDialog dialog(parent_, title, folder, QtFileFilter(filter));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  QString presetFile = preset;
  presetFile.replace(u'\\', u'/');
  if (QFileInfo(presetFile).isFile()) dialog.selectFile(QFileInfo(presetFile).fileName());
  const bool accepted = dialog.exec() == QDialog::Accepted;
  GiveKeyboardBack();
  const QStringList files = dialog.selectedFiles();
  if (!accepted || files.isEmpty() || files.first().isEmpty()) return std::nullopt;
  // Never a folder for a file, whatever the dialog let through.
  if (FileOnlyDialog::EndsInFolderSeparator(files.first()) || QFileInfo(files.first()).isDir()) {
    return std::nullopt;
  }
  // A new file may name a folder that does not exist yet either: the nearest one that does.
  lastFolder_ = DialogStartFolder(files.first(), dialog.directory().absolutePath());
  return files.first();
}

void QtUserPort::GiveKeyboardBack() {
  // Without a window manager nobody else returns the keyboard to the window.
  if (parent_ && parent_->isVisible()) parent_->activateWindow();
}

void QtUserPort::ProcessEvents() {
  if (gui_.Exists()) QCoreApplication::processEvents();
}

void QtUserPort::SetBusy(bool busy) {
  // Without a window there is no cursor to change.
  if (busy == busy_ || !gui_.Exists()) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}
