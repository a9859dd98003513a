// Documentation_Config: the customer documentation editor of an HMI project.

#include "editor/QtUserPort.h"
#include "editor/frm_Quorvel_Exe.h"
#include "framework/CommandLine.h"
#include "framework/ErrorTrap.h"
#include "framework/ProgramLocation.h"
#include "framework/UserPort.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

namespace {

QString JoinedArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments.join(u' ');
}

bool DisplayAvailable() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  SetCommandLine(JoinedArguments(argc, argv));
  // An unattended run needs no display.
  const bool silent = ReadCommand(CommandLineText(), QStringLiteral("EXTERNAL")) == QStringLiteral("SILENT");
#ifndef Q_OS_WIN
  if (silent && !DisplayAvailable() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
#else
  (void)silent;
  (void)DisplayAvailable;
#endif
  QApplication app(argc, argv);
  const QFileInfo executable(QCoreApplication::applicationFilePath());
  SetProgramLocation(executable.absolutePath(), executable.completeBaseName());

  QtUserPort port;
  SetUserPort(&port);
  int status = kExitOk;
  {
    frm_Quorvel_Exe form;
    port.SetParent(&form);
    form.RunHandler([&] { form.Form_Load(); });
    status = form.EndStatus() ? *form.EndStatus() : app.exec();
    if (form.EndStatus()) status = *form.EndStatus();
  }
  SetUserPort(nullptr);
  return status;
}
