#pragma once
// Shared test helpers: a scripted user port, a temporary installation tree, file helpers.

#include "framework/Platform.h"
#include "framework/ProjectContext.h"
#include "framework/UserPort.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

// A user port that records every question and answers from a script (or with the default button).
class ScriptedPort : public UserPort {
 public:
  Answer Ask(const Question& question) override;
  std::optional<QString> PickFile(const QString& title, const QString& filter,
                                  const QString& preset) override;
  void ProcessEvents() override { ++eventRuns; }
  void SetBusy(bool busy) override { busyChanges.push_back(busy); }

  std::deque<Answer> answers;                      // next answers; empty: the default button
  std::deque<std::optional<QString>> pickedFiles;  // next file picks; empty: cancelled
  std::vector<Question> questions;                 // every question asked
  struct Pick {
    QString title, filter, preset;
  };
  std::vector<Pick> picks;  // every file dialog shown
  std::vector<bool> busyChanges;
  int eventRuns = 0;
};

// A relative path ("/Documentation/Documentation.mdb") spelled as the program spells the paths it builds
// (with "\" on Windows), for appending to a folder.
inline QString NativePath(const char* relative) {
  return QString::fromLatin1(relative).replace(u'/', platform::PathSeparator());
}

// A path as the system compares paths: on Windows without case and with either separator, elsewhere as
// it is spelled.
inline QString AsCompared(const QString& path) {
  return platform::WindowsPaths() ? QString(path).replace(u'/', u'\\').toLower() : path;
}

// GoogleTest shows a QString that differs as its text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

// A temporary installation: <root>/base/program (program folder), <root>/base (base folder),
// base/Documentation/Documentation.cfg, base/parameter/Program.ini and qvzconfiguration.ini on demand.
// It sends the service log into the tree; Context() makes the context of a run started there.
class TempInstall {
 public:
  explicit TempInstall(const QString& executableName = QStringLiteral("Documentation_Config"));
  ~TempInstall();

  // The program as if it lay in program() under the executable name.
  ProgramLocation location() const { return ProgramLocation(program(), executableName_); }
  // A run's context, started with the command line and talking to the user through the port.
  std::unique_ptr<ProjectContext> Context(UserPort& port, const QString& commandLine = {}) const;

  QString root() const { return dir_.path(); }
  QString base() const { return dir_.path() + Native("/base"); }
  QString program() const { return base() + Native("/program"); }
  QString component() const { return base() + Native("/Documentation"); }
  QString cfg() const { return component() + Native("/Documentation.cfg"); }
  QString programIni() const { return base() + Native("/parameter/Program.ini"); }
  QString hostIni() const { return base() + Native("/parameter/qvzconfiguration.ini"); }
  QString errorLog() const { return base() + Native("/QVZcfglog.txt"); }
  QString serviceLog() const { return dir_.path() + QStringLiteral("/service.log"); }

 private:
  static QString Native(const char* relative) { return NativePath(relative); }
  QTemporaryDir dir_;
  QString executableName_;
  QByteArray oldServiceLog_;
  bool hadServiceLog_ = false;
};

// Writes bytes to a file, creating its folders.
void WriteFile(const QString& path, const QByteArray& bytes);
// The file's bytes, empty when it is missing.
QByteArray ReadFile(const QString& path);
// Runs f and returns the status EndProgram ended it with, or nullopt when it returned normally.
std::optional<int> EndStatusOf(const std::function<void()>& f);
