#include "tests/editor/EditorFixture.h"

#include "framework/CommandLine.h"
#include "framework/Cp1252.h"

QByteArray IniText(const QString& text) {
  QString crlf = text;
  crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return EncodeCp1252(crlf);
}

void EditorTest::WriteProject(const QStringList& machines, bool vwfd, const QString& validMachines,
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

void EditorTest::WriteHostIni(const QStringList& names, const QString& saveAndRestore) {
  QString host = QStringLiteral("[Common]\nSaveAndRestore=") + saveAndRestore + QStringLiteral("\n");
  for (int i = 1; i <= names.size(); ++i) host += QStringLiteral("NameM%1=%2\n").arg(i).arg(names[i - 1]);
  WriteFile(install.hostIni(), IniText(host));
}

std::optional<int> EditorTest::Load(const QString& commandLine) {
  SetCommandLine(commandLine);
  form = std::make_unique<frm_Quorvel_Exe>();
  form->RunHandler([this] { form->Form_Load(); });
  return form->EndStatus();
}

std::optional<int> EditorTest::Run(const std::function<void()>& handler) {
  form->RunHandler(handler);
  return form->EndStatus();
}

QStringList EditorTest::Messages() const {
  QStringList texts;
  for (const Question& q : port.questions) texts << q.text;
  return texts;
}
