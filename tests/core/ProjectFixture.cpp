#include "tests/core/ProjectFixture.h"

#include "framework/Cp1252.h"
#include "framework/Installation.h"

QByteArray IniText(const QString& text) {
  QString crlf = text;
  crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return EncodeCp1252(crlf);
}

void ProjectTest::WriteProject(const QStringList& machines, bool vwfd, const QString& validMachines,
                               const QList<int>& forMachines) {
  QString program = QStringLiteral("[Project]\nNumberOfMachines=%1\nVWFD=%2\n")
                        .arg(machines.size())
                        .arg(vwfd ? QStringLiteral("true") : QStringLiteral("false"));
  for (int m = 1; m <= machines.size(); ++m) {
    program += QStringLiteral("[Machine%1]\nMachineName=%2\n").arg(m).arg(machines[m - 1]);
  }
  WriteFile(install.programIni(), IniText(program));
  QString cfg = QStringLiteral("[Project]\nValidMachines=") + validMachines + QStringLiteral("\n");
  for (int m : forMachines) cfg += QStringLiteral("ForMachine%1=true\n").arg(m);
  WriteFile(install.cfg(), IniText(cfg));
}

void ProjectTest::WriteHostIni(const QStringList& names, const QString& saveAndRestore) {
  QString host = QStringLiteral("[Common]\nSaveAndRestore=") + saveAndRestore + QStringLiteral("\n");
  for (int i = 1; i <= names.size(); ++i) host += QStringLiteral("NameM%1=%2\n").arg(i).arg(names[i - 1]);
  WriteFile(install.hostIni(), IniText(host));
}

ProjectContext& ProjectTest::Configure(const QString& commandLine) {
  context = install.Context(*userPort, commandLine);
  context->files.hostIni = GetQVZConfigurationIniPath(*context);
  GetExistingMachines(*context, context->files.hostIni);
  ReadProjectConfiguration(*context);
  return *context;
}

QStringList ProjectTest::Messages() const {
  QStringList texts;
  for (const Question& q : port.questions) texts << q.text;
  return texts;
}
