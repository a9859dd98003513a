#pragma once
// The project database as it was before the last update, kept beside it as "<file name>.previous" (one
// generation), and put back on request.

#include "framework/ProjectContext.h"

#include <QString>

class ProjectDatabaseHold;

QString PreviousDatabasePath(const QString& projectPath);

// Keeps the project database as the previous one before the update replaces it: a consistent copy made
// through SQLite from the held database (so it holds what a log or a journal held), or a plain copy of
// a project file that is no database. The copy is complete and on the disk before it replaces the last
// previous one by a rename, so a failure leaves that one as it was. Raises error 75 when the copy
// cannot be made: the update must then leave the project database alone.
void KeepPreviousDatabase(ProjectDatabaseHold* held, const QString& projectPath);

// Puts the previous database back in the project database's place, under the project's run lock and
// through SQLite when the project database is one (other programs' readers see the old or the new
// content, never a mix). Says on standard output what it did, or on standard error why not. The status:
// 0 when put back, 1 when there is no previous database or it could not be put back.
int RestorePreviousDatabase(ProjectContext& context);
