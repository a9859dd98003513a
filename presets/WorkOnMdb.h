#pragma once
// The database update that runs when the editor closes.

#include "framework/ProjectContext.h"
#include "presets/UpdateRun.h"

#include <QString>

#include <cstdint>

void WorkOnMDB(ProjectContext& context);
// The same update as one run of it.
void WorkOnMDB(UpdateRun& run);

// 1 when the update uses VisiWin Studio names ([Project] VWStudio, standalone only), else 0.
int16_t VisiWinSystemIndex(const ProjectContext& context);
