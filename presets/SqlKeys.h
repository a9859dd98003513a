#pragma once
// The keys by which SQLite matches records for the renames and the takeover, as SQL functions. A name
// or key is matched through a 64-bit hash of its folded texts first, so that indexes and sorts compare
// integers; equal hashes are then told apart by the texts themselves under UNICODE_NOCASE.
//
// The takeover's record key: machine_type and var_name as texts without regard to case (numbers by their
// decimal text, Null as empty text), offset_or_bitno as a number (a text read as a number, -0 as 0; a
// value that is no number gives no key).

#include "presets/Database.h"

#include <QString>

// Registers on the connection:
//   qvz_name_hash(name)      FoldedHash of a text, Null for any other value;
//   qvz_key_hash(m, v, o)    hash of the record key, Null when the offset is no number;
//   qvz_key_text(value)      machine_type or var_name as the key compares it;
//   qvz_offset_key(value)    offset_or_bitno as the key compares it, Null when it is no number.
void RegisterKeyFunctions(db::Connection& connection);

// The four key columns (hash, machine_type, var_name, offset) of a query over fields with these names
// (quoted names or NULL).
QString KeyColumns(const QString& machine, const QString& varName, const QString& offset);
// The ORDER BY list of the four key columns that start at the given result column (from 1).
QString OrderByKey(int firstColumn);

// The order of the keys of two current rows, whose four key columns start at the given columns: the
// order OrderByKey sorts by.
int CompareKeys(const db::Statement& a, int aFirst, const db::Statement& b, int bFirst);
