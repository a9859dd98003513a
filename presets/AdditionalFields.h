#pragma once
// The additional PRESET_DEFS fields that the project's configuration file declares.

#include "presets/UpdateRun.h"

#include <QString>
#include <QStringList>

// Element 0 empty, element 1 "part", then the names of [Project] DataBaseAdditionalFields (the text
// given), split at every comma and kept as written (neither trimmed nor checked).
QStringList GetAdditionalFieldsMDB(const QString& declared);
// Sets the run's additional fields from the project's DataBaseAdditionalFields.
void GetAddFields(UpdateRun& run);
