#include "tests/e2e/E2eSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

QString ProgramUnderTest() {
  return QStringLiteral(QVZ_PROGRAM_UNDER_TEST);
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

InstallTree::InstallTree() {
  QDir().mkpath(program());
  QDir().mkpath(component());
  QDir().mkpath(saveAndRestore());
  QFile::copy(ProgramUnderTest(), program() + QStringLiteral("/Documentation_Config"));
  // The window module lies beside the program.
  const QString module = QStringLiteral(QVZ_WINDOW_MODULE_UNDER_TEST);
  QFile::copy(module, program() + u'/' + QFileInfo(module).fileName());
}

void InstallTree::WriteProject(const QStringList& machines, bool vwfd) {
  QByteArray programIniText = "[Project]\r\nNumberOfMachines=" + QByteArray::number(machines.size()) +
                              "\r\nVWFD=" + (vwfd ? "true" : "false") + "\r\nVWStudio=false\r\n";
  QByteArray hostText = "[Common]\r\nSaveAndRestore=" + saveAndRestore().toLocal8Bit() + "\r\n";
  QByteArray cfgText = "[Project]\r\nValidMachines=ALL\r\n";
  for (int i = 0; i < machines.size(); ++i) {
    const QByteArray n = QByteArray::number(i + 1);
    programIniText += "[Machine" + n + "]\r\nMachineName=" + machines[i].toLatin1() + "\r\n";
    hostText += "NameM" + n + "=" + machines[i].toLatin1() + "\r\n";
    cfgText += "ForMachine" + n + "=true\r\n";
  }
  WriteBytes(programIni(), programIniText);
  WriteBytes(hostIni(), hostText);
  WriteBytes(cfg(), cfgText);
}

QProcessEnvironment InstallTree::Environment(const QString& display) const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HALVEK_SERVICE_LOG"), serviceLog());
  if (display.isEmpty()) {
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  } else {
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), display);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  }
  return env;
}

std::unique_ptr<QProcess> InstallTree::Start(const QStringList& arguments, const QString& display) const {
  auto process = std::make_unique<QProcess>();
  process->setProcessEnvironment(Environment(display));
  process->setProcessChannelMode(QProcess::MergedChannels);
  process->setWorkingDirectory(root());
  process->start(program() + QStringLiteral("/Documentation_Config"), arguments);
  if (!process->waitForStarted()) return nullptr;
  return process;
}

QMap<QString, QByteArray> InstallTree::Snapshot() const {
  QMap<QString, QByteArray> files;
  QDirIterator it(root(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files.insert(QDir(root()).relativeFilePath(path), ReadBytes(path));
  }
  return files;
}

RunResult InstallTree::Run(const QStringList& arguments, const QProcessEnvironment& environment,
                           int timeoutMs) const {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.setWorkingDirectory(root());
  process.start(program() + QStringLiteral("/Documentation_Config"), arguments);
  if (!process.waitForStarted()) return RunResult{};
  return Finish(process, timeoutMs);
}

RunResult InstallTree::RunApart(const QStringList& arguments) const {
  QProcess process;
  process.setProcessEnvironment(Environment());
  process.setWorkingDirectory(root());
  process.start(program() + QStringLiteral("/Documentation_Config"), arguments);
  if (!process.waitForStarted()) return RunResult{};
  RunResult result = Finish(process, kRunTimeoutMs);
  // Finish read the current channel, which is standard output.
  result.standardOutput = result.output;
  result.output = process.readAllStandardError();
  return result;
}

RunResult InstallTree::Run(const QStringList& arguments, int timeoutMs) const {
  const std::unique_ptr<QProcess> process = Start(arguments);
  if (!process) return RunResult{};
  return Finish(*process, timeoutMs);
}

RunResult Finish(QProcess& process, int timeoutMs) {
  RunResult result;
  // A process whose end was already seen is not waited for again (Qt reports that as a failed wait).
  if (process.state() != QProcess::NotRunning && !process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    result.timedOut = true;
    result.output = process.readAll();
    return result;
  }
  result.finished = process.exitStatus() == QProcess::NormalExit;
  result.status = process.exitCode();
  result.output = process.readAll();
  return result;
}

namespace {

std::string WithOutput(const QString& state, const QByteArray& output) {
  return (state + QStringLiteral("; its output:\n")).toStdString() + output.toStdString() +
         (output.endsWith('\n') ? "" : "\n") + "(end of output)\n";
}

}  // namespace

std::string RunResult::Report() const {
  QString state;
  if (timedOut) {
    state = QStringLiteral("the program did not end in time and was killed");
  } else if (!finished) {
    state = QStringLiteral("the program crashed or could not be started (exit code %1)").arg(status);
  } else {
    state = QStringLiteral("the program ended with status %1").arg(status);
  }
  return WithOutput(state, output);
}

std::string Report(QProcess& process) {
  // A short wait takes note of an end and of output that came meanwhile; peeking leaves the output in
  // the buffer for Finish.
  if (process.state() != QProcess::NotRunning) process.waitForFinished(0);
  QString state;
  if (process.state() != QProcess::NotRunning) {
    state = QStringLiteral("the program still runs (process %1)").arg(process.processId());
  } else if (process.exitStatus() == QProcess::CrashExit) {
    state = QStringLiteral("the program crashed (%1)").arg(process.errorString());
  } else {
    state = QStringLiteral("the program ended with status %1").arg(process.exitCode());
  }
  return WithOutput(state, process.peek(process.bytesAvailable()));
}
