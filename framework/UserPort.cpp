#include "framework/UserPort.h"

#include "framework/TextFile.h"

void UserPort::ShowMessage(const QString& text, const QString& title, Icon icon) {
  Ask(Question{text, title, Buttons::Ok, Answer::Ok, icon});
}

void UserPort::LetEventsRun() {
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < 50) return;
  sinceEvents_.start();
  ProcessEvents();
}

Answer ConsolePort::Ask(const Question& question) {
  QString text = question.text;
  PrintLine(stderr, text.remove(u'\r'));  // the boxes' line breaks hold carriage returns
  return question.defaultAnswer;
}
