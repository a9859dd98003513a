#pragma once
// The program's own options, which are whole arguments and never part of the host's command line:
// they are taken out before the other arguments are joined, so a path such as
// /srv/SaveAndRestore/help.log after LOGFILE is never read as an option, and a mistyped option never
// starts a real run.

#include <QString>
#include <QStringList>

enum class ProgramAction {
  Run,      // the run the host's words ask for
  DryRun,   // --dry-run: the update tried on scratch copies, its report on standard output
  Restore,  // --restore: the previous project database put back
  Help,
  Version
};

struct ProgramOptions {
  ProgramAction action = ProgramAction::Run;
  // The other arguments joined by single blanks: the command line the host's words are read from.
  QString commandLine;
  // The first argument that starts with "--" but is no option of the program, or the second of
  // --dry-run and --restore (empty when none). A run with such an argument is refused before anything
  // is read or written.
  QString refused;
};

ProgramOptions ReadProgramOptions(const QStringList& arguments);

// What --help prints, and what --version prints.
QString UsageText();
QString VersionText();
// The message for a refused argument.
QString RefusedOptionText(const QString& argument);
