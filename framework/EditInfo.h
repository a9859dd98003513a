#pragma once
// The [Info] record of the CFG file that tells which program version last wrote the settings.

#include "framework/ProjectContext.h"

#include <QString>

// "major.minor.revision - Integrated" or " - Standalone".
QString ProgramVersionText(bool integrated);
// The editor code from the value of the first environment entry.
QString EditorCode(const QString& environmentEntry);
// The first entry of the process environment ("name=value"), empty when there is none.
QString FirstEnvironmentEntry();
void WriteEditInfo(ProjectContext& context);
