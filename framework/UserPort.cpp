#include "framework/UserPort.h"

void UserPort::ShowMessage(const QString& text, const QString& title, Icon icon) {
  Ask(Question{text, title, Buttons::Ok, Answer::Ok, icon});
}

void UserPort::LetEventsRun() {
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < 50) return;
  sinceEvents_.start();
  ProcessEvents();
}
