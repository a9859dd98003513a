#pragma once
// The last step of an update: the source database replaces the project database.

#include <QString>

// Copies the source database over the project database (through a temporary file and a rename). While
// another program has the project database open for writing (a reserved or exclusive lock, a hot
// journal) it is not replaced: that raises, and both files stay as they are.
void ReplaceProjectDatabase(const QString& sourcePath, const QString& projectPath);
