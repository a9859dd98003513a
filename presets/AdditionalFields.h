#pragma once
// The additional PRESET_DEFS fields that the project's configuration file declares.

#include <QStringList>

// Element 0 empty, element 1 "part", then the names of [Project] DataBaseAdditionalFields of the CFG
// file, split at every comma and kept as written (neither trimmed nor checked).
QStringList GetAdditionalFieldsMDB();
// Sets AddFieldsList, AddFieldsSQL and AddFieldsCount from GetAdditionalFieldsMDB.
void GetAddFields();
