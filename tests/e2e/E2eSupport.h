#pragma once
// Runs the built program as a separate process in a temporary installation tree, the way the host
// configuration program and a service engineer start it.

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

// Readable test failures: texts and bytes printed as text.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
  *os << '"' << bytes.toStdString() << '"';
}

// How long a run may take before it is taken for hung and killed. It only bounds how long a broken run
// is waited for (a passing run is over when it ends), so it is generous enough for a sanitizer build on
// a busy machine.
inline constexpr int kRunTimeoutMs = 120000;

struct RunResult {
  int status = -1;
  bool finished = false;      // ended by itself, not by a crash or a kill
  bool timedOut = false;      // killed at the deadline
  QByteArray output;          // standard output and error (standard error only for RunApart)
  QByteArray standardOutput;  // standard output, for RunApart only

  // How the run ended and what it wrote, for failure messages.
  std::string Report() const;
};

// <root>/project is the base folder, <root>/project/program the program folder with a copy of the
// executable, <root>/SaveAndRestore the host's working copy, <root>/service.log the service log.
class InstallTree {
 public:
  InstallTree();

  QString root() const { return dir_.path(); }
  QString base() const { return root() + QStringLiteral("/project"); }
  QString program() const { return base() + QStringLiteral("/program"); }
  QString component() const { return base() + QStringLiteral("/Documentation"); }
  QString cfg() const { return component() + QStringLiteral("/Documentation.cfg"); }
  QString projectDb() const { return component() + QStringLiteral("/Documentation.mdb"); }
  QString sourceDb() const { return component() + QStringLiteral("/Documentation_Source.mdb"); }
  QString programIni() const { return base() + QStringLiteral("/parameter/Program.ini"); }
  QString hostIni() const { return base() + QStringLiteral("/parameter/qvzconfiguration.ini"); }
  QString settings() const { return program() + QStringLiteral("/Documentation_Customer.cfg"); }
  QString languageIni() const { return program() + QStringLiteral("/Documentation_Config.ini"); }
  QString errorLog() const { return base() + QStringLiteral("/QVZcfglog.txt"); }
  QString saveAndRestore() const { return root() + QStringLiteral("/SaveAndRestore"); }
  QString serviceLog() const { return root() + QStringLiteral("/service.log"); }

  // Writes the usual files of a project with the given machines (standalone names in Program.ini and
  // host names in qvzconfiguration.ini); vwfd switches the editor on.
  void WriteProject(const QStringList& machines, bool vwfd);

  // Starts the program with the arguments and waits for it (timeout: it is killed, finished stays false).
  RunResult Run(const QStringList& arguments, int timeoutMs = kRunTimeoutMs) const;
  // The same with an environment of the caller's making.
  RunResult Run(const QStringList& arguments, const QProcessEnvironment& environment,
                int timeoutMs = kRunTimeoutMs) const;

  // The same, with standard output kept apart from standard error.
  RunResult RunApart(const QStringList& arguments) const;

  // The program's environment: the service log in the tree, and the offscreen platform unless an X
  // display (":N") is given, which selects the X platform.
  QProcessEnvironment Environment(const QString& display = {}) const;
  // Starts the program without waiting for it; nullptr when it could not be started.
  std::unique_ptr<QProcess> Start(const QStringList& arguments, const QString& display = {}) const;

  // The paths below the SaveAndRestore folder that integrated runs read.
  QString machineCopy() const {
    return saveAndRestore() + QStringLiteral("/Documentation/Documentation.mdb");
  }
  QString hostProgramIni() const { return saveAndRestore() + QStringLiteral("/parameter/program.ini"); }

  // Every file below the root (relative path -> bytes), to prove that a run changed nothing.
  QMap<QString, QByteArray> Snapshot() const;

 private:
  QTemporaryDir dir_;
};

// Waits for a started program (timeout: it is killed, finished stays false).
RunResult Finish(QProcess& process, int timeoutMs = kRunTimeoutMs);
// A started program as it is now, for failure messages: whether it still runs or how it ended, and its
// output so far. Leaves the output to Finish.
std::string Report(QProcess& process);

// The path of the program under test.
QString ProgramUnderTest();
void WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);
