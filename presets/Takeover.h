#pragma once
// Takes the operator values of the project database's old PRESET_DEFS over into the rebuilt one.

#include "presets/Database.h"
#include "presets/UpdateRun.h"

#include <QString>

// For every old record of the project database's table oldTable, the first record of the rebuilt
// PRESET_DEFS of the source database with the same key (machine_type and var_name without regard to
// case, offset_or_bitno as a number) gets its abs_min, abs_max, min, max and pass. Warns about fields
// that would be lost and ends the program when a declared additional field is missing.
void TakeoverMachineCopyMDBData(UpdateRun& run, db::Connection& database, db::Connection& project,
                                const QString& oldTable);
