#pragma once
// Helpers for the preset database tests: a temporary installation with source and project databases
// built from SQL text, and plain queries to look at the results.

#include "presets/Database.h"
#include "presets/Takeover.h"
#include "presets/UpdateRun.h"
#include "tests/support/TestSupport.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

// The template schema: 15 fields with part before var_name.
extern const char* const kPresetFields;

// One template record: (ID, machine_type, part, var_name, offset_or_bitno, text).
struct TemplateRecord {
  int id;
  QString machine;
  QString part;  // SQL text: a number, NULL or a quoted text
  QString varName;
  int offset;
  QString text = QStringLiteral("'Text ###machine ###machine'");
};

// SQL for the tables of a source database.
QByteArray SourceSql(const std::vector<TemplateRecord>& records, const QString& defsRows = {});
// SQL for an old PRESET_DEFS row (machine, var_name, offset, abs_min, abs_max, min, max, pass).
QString OldRow(const QString& machine, const QString& varName, int offset, int base);

// Every row of a query as text ("NULL" for Null), columns joined with "|".
QStringList Rows(const QString& path, const QString& sql);
// The whole content of a database: every schema entry and every table's rows in row order. Two files
// written by SQLite with the same content may differ in their header's counters.
QStringList Content(const QString& path);
// The error log's lines.
QStringList LogLines(const QString& path);

class PresetsTest : public ::testing::Test {
 protected:
  QString source() const { return install.component() + NativePath("/Documentation_Source.mdb"); }
  QString project() const { return install.component() + NativePath("/Documentation.mdb"); }
  // CFG file with [Project] ForMachine1=TRUE and the given extra lines.
  void WriteCfg(const QString& extraLines = {});
  // Standalone (or silent) run with machines "M1", "M2"; studio selects the VisiWin Studio names.
  void Standalone(bool studio = false, bool silent = false);
  // Integrated run with machine 1 "M1", SaveAndRestore below the temp tree.
  void Integrated(const QString& validMachines = QStringLiteral("M1"));
  // The run's context (standalone unless chosen), with the project's configuration read from the
  // files as they are now.
  ProjectContext& Context();
  // One update run on the context, for calling its steps one by one.
  UpdateRun& Run();
  // The database the steps rename in: the project database itself, empty when there is none.
  QString workingCopy() const { return QFile::exists(project()) ? project() : QString(); }

  // The update's steps as the closing sequence calls them.
  void WorkOnMDB();
  // The generation and the renames it asks for.
  void CreateRecordSets(db::Connection& database);
  TakeoverResult TakeoverMachineCopyMDBData(db::Connection& database, db::Connection& project,
                                            const QString& oldTable,
                                            const UnmatchedRecordVisitor& unmatched = {});
  bool AnyErrorHandled() const { return context && context->errors.AnyErrorHandled(); }
  QString machineCopy() const {
    return install.root() + QStringLiteral("/sar") + NativePath("/Documentation/Documentation.mdb");
  }

  TempInstall install;
  ScriptedPort port;
  std::unique_ptr<ProjectContext> context;
  std::unique_ptr<UpdateRun> run;
};
