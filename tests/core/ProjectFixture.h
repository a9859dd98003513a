#pragma once
// A temporary project and a scripted user, for tests of the run without a window.

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>

// INI text as the Windows programs write it: "\n" in the literal becomes CR LF, Windows-1252.
QByteArray IniText(const QString& text);

class ProjectTest : public ::testing::Test {
 protected:
  // Program.ini with the machines (standalone list), VWFD; CFG file with ValidMachines and
  // ForMachine<m> = true for the machines listed in forMachines (1-based numbers).
  void WriteProject(const QStringList& machines, bool vwfd = true, const QString& validMachines = "ALL",
                    const QList<int>& forMachines = {1, 2, 3, 4, 5, 6});
  // Host INI for integrated mode: NameM1 ... and SaveAndRestore pointing at a copy of parameter/.
  void WriteHostIni(const QStringList& names, const QString& saveAndRestore);
  // A fresh context of a run started with the command line, its machines and configuration read from
  // the project's files.
  ProjectContext& Configure(const QString& commandLine = {});

  QString CustomerFile() const { return install.program() + QStringLiteral("/Documentation_Customer.cfg"); }
  QByteArray Customer() const { return ReadFile(CustomerFile()); }
  // Texts of the questions the user was asked.
  QStringList Messages() const;

  TempInstall install;
  ScriptedPort port;
  UserPort* userPort = &port;  // the port the run talks through
  std::unique_ptr<ProjectContext> context;
};
