#include "framework/ProgramOptions.h"

#include "generated/Version.h"

ProgramOptions ReadProgramOptions(const QStringList& arguments) {
  ProgramOptions options;
  QStringList hostArguments;
  for (const QString& argument : arguments) {
    if (argument == QLatin1String("--help") || argument == QLatin1String("/?")) {
      options.action = ProgramAction::Help;
    } else if (argument == QLatin1String("--version")) {
      if (options.action != ProgramAction::Help) options.action = ProgramAction::Version;
    } else if (argument.startsWith(QLatin1String("--"))) {
      if (options.refused.isEmpty()) options.refused = argument;
    } else {
      hostArguments << argument;
    }
  }
  options.commandLine = hostArguments.join(u' ');
  return options;
}

QString VersionText() {
  return QStringLiteral("Documentation_Config %1.%2.%3")
      .arg(kVersionMajor)
      .arg(kVersionMinor)
      .arg(kVersionRevision);
}

QString UsageText() {
  return VersionText() +
         QStringLiteral(
             ": documentation keys and network shares of an HMI project\n"
             "\n"
             "Usage: Documentation_Config [EXTERNAL=QVZCFG | EXTERNAL=SILENT] [/LOGFILE=path]\n"
             "       Documentation_Config --help | /? | --version\n"
             "\n"
             "  (no word)         standalone: the editor for the project the program folder belongs to\n"
             "  EXTERNAL=QVZCFG   integrated: as started by the host configuration program\n"
             "  EXTERNAL=SILENT   unattended: no window, faults go to the service log\n"
             "  /LOGFILE=path     the error log to write to instead of the base folder's\n"
             "  --help, /?        this text\n"
             "  --version         the program's version\n");
}

QString RefusedOptionText(const QString& argument) {
  return QStringLiteral(
             "Documentation_Config: unknown option \"%1\"; nothing was read or changed. "
             "Documentation_Config --help lists the options.")
      .arg(argument);
}
