#pragma once
// A temporary project, a scripted user and the real editor window loaded on it.

#include "editor/frm_Quorvel_Exe.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include <memory>

// INI text as the Windows programs write it: "\n" in the literal becomes CR LF, Windows-1252.
QByteArray IniText(const QString& text);

class EditorTest : public ::testing::Test {
 protected:
  // Program.ini with the machines (standalone list), VWFD; CFG file with ValidMachines and
  // ForMachine<m> = true for the machines listed in forMachines (1-based numbers).
  void WriteProject(const QStringList& machines, bool vwfd = true, const QString& validMachines = "ALL",
                    const QList<int>& forMachines = {1, 2, 3, 4, 5, 6});
  // Host INI for integrated mode: NameM1 ... and SaveAndRestore pointing at a copy of parameter/.
  void WriteHostIni(const QStringList& names, const QString& saveAndRestore);
  // Creates the window and runs its load handler as the program does; returns the end status, if any.
  std::optional<int> Load(const QString& commandLine = {});
  // Runs a handler through the window's boundary and returns the end status, if the program ended.
  std::optional<int> Run(const std::function<void()>& handler);

  QString CustomerFile() const { return install.program() + QStringLiteral("/Documentation_Customer.cfg"); }
  QByteArray Customer() const { return ReadFile(CustomerFile()); }
  // Texts of the questions the user was asked.
  QStringList Messages() const;

  TempInstall install;
  ScriptedPort port;
  std::unique_ptr<frm_Quorvel_Exe> form;
};
