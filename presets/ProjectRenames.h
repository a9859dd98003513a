#pragma once
// Renames in PRESET_DEFS of the project database that keep the old values findable by the takeover:
// variable names of the other VisiWin system, and the old category field.

#include "presets/UpdateRun.h"

#include <QString>

#include <vector>

// These work on the run's copy of the project database; without one they do nothing.

// Renames every record whose var_name (without regard to case) is the other system's name of a variable
// to the active system's name: name0 is the VisiWin32 name, name1 the VisiWin Studio name.
void VarNameInQuelleErsetzen(UpdateRun& run, const QString& name0, const QString& name1);

struct VarNamePair {
  QString name0;
  QString name1;
};
// The same renames for every generated name at once, with the result of calling VarNameInQuelleErsetzen
// once per pair in the given order, but on one connection and in one transaction.
void VarNamesInQuelleErsetzen(UpdateRun& run, const std::vector<VarNamePair>& pairs);

// Renames an old field "Categorie" (any case) of PRESET_DEFS to "category_id".
void CategorieNachCategoryID(UpdateRun& run);
