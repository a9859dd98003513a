#pragma once
// The one way framework, texts, presets and the run reach the user. The window implements it with real
// dialogs; tests replace it with a scripted port; a run that shows nothing uses the quiet port.

#include <QElapsedTimer>
#include <QString>

#include <optional>

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };
enum class Icon { None, Critical, Exclamation, Information };

struct Question {
  QString text;
  QString title;  // empty: the application's default title (the executable name)
  Buttons buttons = Buttons::Ok;
  Answer defaultAnswer = Answer::Ok;
  Icon icon = Icon::None;
  // Whether closing the box (Escape, the close box) may answer it. A question whose answers both
  // matter, such as "Resume?", must be answered with one of its buttons.
  bool escapable = true;
};

class UserPort {
 public:
  virtual ~UserPort() = default;
  // Shows a message box and returns the button pressed (Answer::Ok for an OK-only box).
  virtual Answer Ask(const Question& question) = 0;
  // Shows the file dialog; nullopt when the user cancelled.
  virtual std::optional<QString> PickFile(const QString& title, const QString& filter,
                                          const QString& preset) = 0;
  // Lets pending window events run (repaint, input).
  virtual void ProcessEvents() = 0;
  // Shows or clears the busy (wait) cursor.
  virtual void SetBusy(bool busy) = 0;

  // Shows a message with an OK button.
  void ShowMessage(const QString& text, const QString& title = {}, Icon icon = Icon::None);
  // Lets pending window events run, at most about every 50 ms, so long loops can call it per record.
  void LetEventsRun();

 private:
  QElapsedTimer sinceEvents_;
};

// The port of a run that shows nothing: every question gets its default button, no file is picked.
class QuietPort : public UserPort {
 public:
  Answer Ask(const Question& question) override { return question.defaultAnswer; }
  std::optional<QString> PickFile(const QString&, const QString&, const QString&) override { return {}; }
  void ProcessEvents() override {}
  void SetBusy(bool) override {}
};

// The port of a dry run and a restore: like the quiet port, but each message is shown on standard
// error, so whoever started the run reads what a box would have said.
class ConsolePort : public QuietPort {
 public:
  Answer Ask(const Question& question) override;
};
