#pragma once
// The path of the running executable, asked of the operating system (no application object needed).

#include <QString>

// The absolute path of the running executable; argv0 (made absolute) where the system cannot tell.
QString RunningExecutablePath(const char* argv0);
