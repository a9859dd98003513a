#pragma once
// Resets every module variable of the framework to its start value (tests run many "processes" in one).

void ResetRuntimeState();

namespace runtime_state {
// Forgets that an error was handled (part of ResetRuntimeState).
void ResetErrorHandling();
}  // namespace runtime_state
