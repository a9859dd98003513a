#include "framework/ProgramOptions.h"

#include "generated/Version.h"

#include <optional>

namespace {

// Which of two options wins when both are given: help before the version before the work options, so
// asking what the program does never does anything.
int Rank(ProgramAction action) {
  switch (action) {
    case ProgramAction::Help:
      return 3;
    case ProgramAction::Version:
      return 2;
    case ProgramAction::DryRun:
    case ProgramAction::Restore:
      return 1;
    case ProgramAction::Run:
      break;
  }
  return 0;
}

std::optional<ProgramAction> OptionAction(const QString& argument) {
  if (argument == QLatin1String("--help") || argument == QLatin1String("/?")) return ProgramAction::Help;
  if (argument == QLatin1String("--version")) return ProgramAction::Version;
  if (argument == QLatin1String("--dry-run")) return ProgramAction::DryRun;
  if (argument == QLatin1String("--restore")) return ProgramAction::Restore;
  return std::nullopt;
}

}  // namespace

ProgramOptions ReadProgramOptions(const QStringList& arguments) {
  ProgramOptions options;
  QStringList hostArguments;
  for (const QString& argument : arguments) {
    if (const std::optional<ProgramAction> action = OptionAction(argument)) {
      // A dry run and a restore asked for together cannot both be done: neither is.
      const bool conflict = Rank(*action) == 1 && Rank(options.action) == 1 && *action != options.action;
      if (conflict && options.refused.isEmpty()) options.refused = argument;
      if (Rank(*action) > Rank(options.action)) options.action = *action;
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
             "       Documentation_Config --dry-run [EXTERNAL=QVZCFG] [/LOGFILE=path]\n"
             "       Documentation_Config --restore\n"
             "       Documentation_Config --help | /? | --version\n"
             "\n"
             "  (no word)         standalone: the editor for the project the program folder belongs to\n"
             "  EXTERNAL=QVZCFG   integrated: as started by the host configuration program\n"
             "  EXTERNAL=SILENT   unattended: no window, faults go to the service log\n"
             "  /LOGFILE=path     the error log to write to instead of the base folder's\n"
             "  --dry-run         try the database update: no window, nothing changed, the report\n"
             "                    on standard output, faults on standard error\n"
             "  --restore         put the project database back as it was before the last update\n"
             "  --help, /?        this text\n"
             "  --version         the program's version\n");
}

QString RefusedOptionText(const QString& argument) {
  if (OptionAction(argument)) {
    return QStringLiteral(
        "Documentation_Config: --dry-run and --restore cannot be given together; nothing was read or "
        "changed.");
  }
  return QStringLiteral(
             "Documentation_Config: unknown option \"%1\"; nothing was read or changed. "
             "Documentation_Config --help lists the options.")
      .arg(argument);
}
