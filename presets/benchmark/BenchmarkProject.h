#pragma once
// The project installation the benchmark updates: a program folder with a copy of the built program, the
// CFG file and program INI of a standalone project whose machine 1 ("M1") takes part, a source database
// with n template records and a project database with n old records that all match a generated record.
// Pristine copies of both databases are kept beside it, so every run starts from the same files.

#include <QString>

#include <cstdint>

class BenchmarkProject {
 public:
  // Lays the installation out below folder (which must exist), with n records, copying the program.
  BenchmarkProject(const QString& folder, int n, const QString& program);

  QString base() const { return folder_ + QStringLiteral("/install"); }
  QString programFolder() const { return base() + QStringLiteral("/program"); }
  QString program() const { return programFolder() + QStringLiteral("/Documentation_Config"); }
  QString source() const { return base() + QStringLiteral("/Documentation/Documentation_Source.mdb"); }
  QString project() const { return base() + QStringLiteral("/Documentation/Documentation.mdb"); }
  QString serviceLog() const { return folder_ + QStringLiteral("/service.log"); }
  int records() const { return n_; }

  // Puts the pristine source and project databases back (the update rebuilds the one and replaces the
  // other).
  void Restore() const;
  // How many records of a database's PRESET_DEFS carry the old records' values (all n after an update).
  static int64_t TakenOver(const QString& database);

  // The floor's databases: the same tables with the names already resolved, so plain SQL can do the work.
  QString floorSource() const { return folder_ + QStringLiteral("/floor/source.mdb"); }
  QString floorProject() const { return folder_ + QStringLiteral("/floor/project.mdb"); }
  void RestoreFloor() const;

 private:
  QString folder_;
  int n_;
};

// The declared fields of both preset tables.
extern const char* const kBenchmarkFields;
