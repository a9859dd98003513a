#include "tests/e2e/E2eSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

QString ProgramUnderTest() { return QStringLiteral(QVZ_PROGRAM_UNDER_TEST); }

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

RunResult InstallTree::Run(const QStringList& arguments, int timeoutMs) const {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HALVEK_SERVICE_LOG"), serviceLog());
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  process.setProcessEnvironment(env);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.setWorkingDirectory(root());
  process.start(program() + QStringLiteral("/Documentation_Config"), arguments);
  RunResult result;
  if (!process.waitForStarted()) return result;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    result.output = process.readAll();
    return result;
  }
  result.finished = process.exitStatus() == QProcess::NormalExit;
  result.status = process.exitCode();
  result.output = process.readAll();
  return result;
}
