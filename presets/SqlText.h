#pragma once
// Pieces of SQL text the update builds: quoted names, the row-number name of a table, declared types.

#include <QString>

#include <optional>
#include <vector>

namespace db {

// A field of a table: its name and its declared type text (copied verbatim when a table is rebuilt).
struct FieldDef {
  QString name;
  QString declaredType;
};

// An identifier in double quotes, with inner quotes doubled.
QString Quote(const QString& identifier);

// The name that addresses the rows' built-in row number in a table with these fields: the first of
// rowid, _rowid_ and oid that no field is called (without regard to case), so that no user field can
// redirect a write. Raises when the table uses all three names.
QString RowNumberName(const std::vector<FieldDef>& fields);
// The same name; nullopt when the table uses all three.
std::optional<QString> FreeRowNumberName(const std::vector<FieldDef>& fields);

// Whether a declared field type may be copied into a CREATE TABLE text: a type name of words and
// digits with at most one parenthesised size list, such as TEXT(50), DOUBLE PRECISION or NUMERIC(10, 2).
bool IsPlainTypeName(const QString& declaredType);

}  // namespace db
