#pragma once
// Resets every module variable of the framework to its start value (tests run many "processes" in one).

void ResetRuntimeState();
