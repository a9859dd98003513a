#pragma once
// The report of one database update: what it read, what it did, what it could not keep, and whether the
// project database was replaced. Its lines go to a sink as the update goes, so the old records that no
// new record matches are written out one by one, never held, however many there are.

#include "framework/SafeFile.h"
#include "framework/TextFile.h"
#include "presets/ProjectRenames.h"
#include "presets/Takeover.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

struct UpdateReportHeader {
  QDateTime when;
  bool dryRun = false;
  QString mode;  // "integrated", "silent" or "standalone"
  QString source;
  QString project;
  QString valuesFrom;  // the database the values are taken from; empty when there is none
  QString activeSystem;
};

struct UpdateCounts {
  int64_t templateRecords = 0;
  int64_t generated = 0;
  int64_t oldRecords = 0;
  int64_t takenOver = 0;
  int64_t renamesApplied = 0;
  int64_t renamesFailed = 0;
  int64_t unmatched = 0;
};

class UpdateReport {
 public:
  using LineSink = std::function<void(const QString& line)>;
  explicit UpdateReport(LineSink sink) : sink_(std::move(sink)) {}

  // The first lines: when, how, and which files.
  void Begin(const UpdateReportHeader& header);
  void RenameFailures(const std::vector<RenameFailure>& failures);
  // One old record whose values are not in the new table; the first one writes the section's title.
  void Unmatched(const UnmatchedRecord& record);
  // The last lines: the counts and the outcome.
  void End(const UpdateCounts& counts, const QString& outcome);

 private:
  void Line(const QString& line) { sink_(line); }
  LineSink sink_;
  bool unmatchedTitled_ = false;
};

// The report beside the project database: Windows-1252 with CR LF line ends, like the project's other
// files. The lines go to a temporary file that replaces the last report at Commit, so a report is
// always one update's whole report.
class UpdateReportFile {
 public:
  explicit UpdateReportFile(const QString& path) : writer_(path, TextEncoding::Cp1252) {}
  void Line(const QString& line);
  FileResult Commit() { return writer_.Commit(); }

 private:
  TextFileWriter writer_;
};
