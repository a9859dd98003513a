#pragma once
// The project's run lock as the update and the restore take it.

#include "framework/RunLock.h"

#include <QString>

#include <chrono>
#include <optional>

// One update (or restore) at a time per project: a second run waits for the first and then refuses. A
// lock that cannot be taken at all (no lock file can be made, something else is in its place) refuses
// as well: without it two runs could rebuild the same tables at once. Raises error 75 with the reason.
void LockProject(std::optional<RunLock>& lock, std::chrono::milliseconds wait, const QString& projectPath);
