#pragma once
// Takes the operator values of the project database's old PRESET_DEFS over into the rebuilt one.

#include "presets/Database.h"
#include "presets/UpdateRun.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

// For every old record of the project database's table oldTable, the first record of the rebuilt
// PRESET_DEFS of the source database with the same key (machine_type and var_name without regard to
// case, offset_or_bitno as a number) gets its abs_min, abs_max, min, max and pass. Warns about fields
// that would be lost and ends the program when a declared additional field is missing.
// An old record that no rebuilt record matches: its key as the takeover compares it (machine_type and
// var_name as texts, offset_or_bitno as a number) and the values abs_min, abs_max, min, max and pass that
// are not taken over.
struct UnmatchedRecord {
  db::Value machine;
  db::Value varName;
  db::Value offset;
  std::array<db::Value, 5> values;
};
using UnmatchedRecordVisitor = std::function<void(const UnmatchedRecord&)>;

// What the takeover did. Old records whose offset is no number have no key and are not counted.
struct TakeoverResult {
  int64_t oldRecords = 0;  // old records read by key
  int64_t takenOver = 0;   // rebuilt records written with old values
  int64_t unmatched = 0;   // old records no rebuilt record matches
};

// Each unmatched old record is also passed to the visitor, when one is given, in key order.
TakeoverResult TakeoverMachineCopyMDBData(UpdateRun& run, db::Connection& database, db::Connection& project,
                                          const QString& oldTable,
                                          const UnmatchedRecordVisitor& unmatched = {});
