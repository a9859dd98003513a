#include "tests/support/TestSupport.h"

#include "framework/CommandLine.h"
#include "framework/ErrorTrap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

Answer ScriptedPort::Ask(const Question& question) {
  questions.push_back(question);
  if (answers.empty()) return question.defaultAnswer;
  const Answer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<QString> ScriptedPort::PickFile(const QString& title, const QString& filter,
                                              const QString& preset) {
  picks.push_back(Pick{title, filter, preset});
  if (pickedFiles.empty()) return std::nullopt;
  const bool chosen = pickedFiles.front().has_value();
  const QString file = chosen ? *pickedFiles.front() : QString();
  pickedFiles.pop_front();
  if (!chosen) return std::nullopt;
  return file;
}

TempInstall::TempInstall(const QString& executableName) : executableName_(executableName) {
  QDir().mkpath(program());
  QDir().mkpath(component());
  QDir().mkpath(base() + QStringLiteral("/parameter"));
  hadServiceLog_ = qEnvironmentVariableIsSet("HALVEK_SERVICE_LOG");
  oldServiceLog_ = qgetenv("HALVEK_SERVICE_LOG");
  qputenv("HALVEK_SERVICE_LOG", serviceLog().toLocal8Bit());
}

std::unique_ptr<ProjectContext> TempInstall::Context(UserPort& port, const QString& commandLine) const {
  return std::make_unique<ProjectContext>(location(), GetStartModeIntegrated(commandLine), port);
}

TempInstall::~TempInstall() {
  if (hadServiceLog_) {
    qputenv("HALVEK_SERVICE_LOG", oldServiceLog_);
  } else {
    qunsetenv("HALVEK_SERVICE_LOG");
  }
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

std::optional<int> EndStatusOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ProgramEnd& end) {
    return end.status;
  }
  return std::nullopt;
}
