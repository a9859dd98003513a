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

// An X11 or Wayland display (Windows always has its desktop).
bool DisplayAvailable() {
#ifdef Q_OS_WIN
  return true;
#endif
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  SetCommandLine(JoinedArguments(argc, argv));
  // An unattended run shows nothing, so it needs no display: without one, Qt draws offscreen.
  const bool silent = ReadCommand(CommandLineText(), QStringLiteral("EXTERNAL")) == QStringLiteral("SILENT");
  if (silent && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    if (!DisplayAvailable()) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
      // An X display that cannot be reached (a variable left over from a closed session) must not end
      // the run before it starts: Qt then falls back to drawing offscreen.
      qputenv("QT_QPA_PLATFORM", "xcb;offscreen");
    }
  }
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
    // Form_Load may already have ended the program (silent run, editor switched off, missing CFG file).
    if (!form.EndStatus()) app.exec();
    status = form.EndStatus().value_or(kExitOk);
  }
  SetUserPort(nullptr);
  return status;
}
