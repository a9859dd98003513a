#pragma once
// The phases of the update that work on the source database: the preset table rebuilt, its records
// generated, the working copy's records renamed and their values taken over.

#include "presets/Database.h"
#include "presets/ProjectRenames.h"
#include "presets/Takeover.h"
#include "presets/UpdateReport.h"
#include "presets/UpdateRun.h"
#include "presets/WorkingCopy.h"

#include <QString>

#include <cstdint>

// What the phases on the source database did.
struct SourceUpdate {
  bool complete = false;  // the new preset table is complete and saved
  int64_t templateRecords = 0;
  int64_t generated = 0;
  RenameResult renames;
  TakeoverResult takeover;
};

// Rebuilds the preset table, generates its records, renames the working copy's records and takes the
// values of the database at takeoverDatabase over, in one transaction of the source database: each
// phase sees what the phases before it wrote. What the renames could not do and the old records no new
// record matches go to the report as they are found. The source database is closed again on return.
SourceUpdate UpdateSourceDatabase(UpdateRun& run, Trap& trap, const QString& sourcePath,
                                  const WorkingCopy& workingCopy, const QString& takeoverDatabase,
                                  UpdateReport& report);

// The counts of the report.
UpdateCounts Counts(const SourceUpdate& update);
