#pragma once
// The Qt GUI application of a run, made only when the run has something to show. A run that shows
// nothing (silent, or a project without the editor and no error to ask about) never loads a GUI
// platform, so it needs no display.

#include <QString>

#include <memory>
#include <optional>

class QApplication;

class GuiApplication {
 public:
  // argc and argv must outlive the application (Qt keeps them).
  GuiApplication(int& argc, char** argv, QString programName);
  ~GuiApplication();
  GuiApplication(const GuiApplication&) = delete;
  GuiApplication& operator=(const GuiApplication&) = delete;

  // Makes the application on first use (an application that exists already is used). When there is no
  // display to show anything on, says so on standard error and ends the program with status 1.
  void Ensure();
  // True once a GUI application exists.
  bool Exists() const;
  // The language code of the language INI: Qt's own texts follow it once the application exists.
  void SetLanguage(const QString& languageCode);

 private:
  int& argc_;
  char** argv_;
  QString programName_;
  QString language_;
  std::unique_ptr<QApplication> app_;
};

// Why no window can be shown here, or nullopt when the GUI platform has a display (or needs none).
std::optional<QString> MissingDisplay();
