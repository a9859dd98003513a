#pragma once
// The one way framework, texts and presets reach the user. The window implements it with real dialogs;
// tests replace it with a scripted port.

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
};

class UserPort {
 public:
  virtual ~UserPort() = default;
  // Shows a message box and returns the button pressed (Answer::Ok for an OK-only box).
  virtual Answer Ask(const Question& question) = 0;
  // Shows the open-file dialog; nullopt when the user cancelled.
  virtual std::optional<QString> PickFile(const QString& title, const QString& filter,
                                          const QString& preset) = 0;
  // Lets pending window events run (repaint, input).
  virtual void ProcessEvents() = 0;
  // Shows or clears the busy (wait) cursor.
  virtual void SetBusy(bool busy) = 0;
};

// The port in use. Until one is set, a quiet port answers every question with its default button.
UserPort& Port();
void SetUserPort(UserPort* port);  // nullptr restores the quiet port

// Shows a message with an OK button.
void ShowMessage(const QString& text, const QString& title = {}, Icon icon = Icon::None);

// Lets pending window events run, at most about every 50 ms, so long loops can call it per record.
void LetEventsRun();
