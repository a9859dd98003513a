#pragma once
// Generation of PRESET_DEFS from the template Source_PRESET_DEFS, with the placeholders "###Var_Name"
// and "###machine" resolved.

#include "presets/Database.h"
#include "presets/Placeholders.h"
#include "presets/UpdateRun.h"

#include <QString>

#include <cstdint>

// The part number a value stands for: a whole number 1 to 50 (error 13 when the value is no number,
// error 9 when it is outside the name-template table).
int64_t PartNumber(const db::Value& value);

// Fills the empty PRESET_DEFS of the open source database with one record per template record, in
// template ID order, numbered from 1, when machine 1 takes part in the documentation. The variable
// names of the generated records are then renamed in the project database (VarNamesInQuelleErsetzen).
// Returns false when the table could not be generated completely (the template could not be read,
// machine 1 takes part but has no name, a record failed); the failures have been reported.
bool CreateRecordSets(UpdateRun& run, db::Connection& database);
