#include "editor/QtUserPort.h"

#include "framework/Text.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMessageBox>

namespace {

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
  QMessageBox box(parent_);
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
  if (question.buttons == Buttons::Ok) return Answer::Ok;
  if (pressed == QMessageBox::Yes) return Answer::Yes;
  if (pressed == QMessageBox::No) return Answer::No;
  return question.defaultAnswer;
}

std::optional<QString> QtUserPort::PickFile(const QString& title, const QString& filter,
                                            const QString& preset) {
  if (silent_) return std::nullopt;
  gui_.Ensure();
  const QString file = QFileDialog::getOpenFileName(parent_, title, preset, QtFileFilter(filter));
  if (file.isEmpty()) return std::nullopt;
  return file;
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
