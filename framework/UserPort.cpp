#include "framework/UserPort.h"

#include <QElapsedTimer>

namespace {

// Used until the window (or a test) sets a port: answers with the default button, picks nothing.
class QuietPort : public UserPort {
 public:
  Answer Ask(const Question& question) override { return question.defaultAnswer; }
  std::optional<QString> PickFile(const QString&, const QString&, const QString&) override { return {}; }
  void ProcessEvents() override {}
  void SetBusy(bool) override {}
};

QuietPort quietPort;
UserPort* currentPort = &quietPort;

}  // namespace

UserPort& Port() {
  return *currentPort;
}

void SetUserPort(UserPort* port) {
  currentPort = port ? port : &quietPort;
}

void ShowMessage(const QString& text, const QString& title, Icon icon) {
  Port().Ask(Question{text, title, Buttons::Ok, Answer::Ok, icon});
}

void LetEventsRun() {
  static QElapsedTimer sinceLast;
  if (sinceLast.isValid() && sinceLast.elapsed() < 50) return;
  sinceLast.start();
  Port().ProcessEvents();
}
