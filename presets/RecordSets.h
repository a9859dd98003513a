#pragma once
// Generation of PRESET_DEFS from the template Source_PRESET_DEFS, with the placeholders "###Var_Name"
// and "###machine" resolved.

#include "presets/Database.h"
#include "presets/Placeholders.h"
#include "presets/ProjectRenames.h"
#include "presets/UpdateRun.h"

#include <QString>

#include <cstdint>
#include <optional>

// The part number a value stands for: a whole number 1 to 50 (error 13 when the value is no number,
// error 9 when it is outside the name-template table).
int64_t PartNumber(const db::Value& value);

// What the generation did: whether the table is complete, how many records it wrote, and the renames
// of the working copy it asked for, one per generated variable name.
struct GenerationResult {
  bool complete = false;        // false: the template could not be read, machine 1 takes part but has no
                                // name, or a record failed; the failures have been reported
  int64_t templateRecords = 0;  // template records read for the generation
  int64_t records = 0;
  std::optional<RenameCalls> renames;  // none when no record was generated
};

// Fills the empty PRESET_DEFS of the open source database with one record per template record, in
// template ID order, numbered from 1, when machine 1 takes part in the documentation. The renames of
// the generated variable names are kept for the working copy (empty: none is wanted), where
// VarNamesInQuelleErsetzen writes them.
GenerationResult CreateRecordSets(UpdateRun& run, db::Connection& database, const QString& workingCopy);
