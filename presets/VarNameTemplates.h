#pragma once
// The variable-name templates of both VisiWin systems, read from Source_DEFS of the source database.

#include "presets/UpdateRun.h"

#include <QString>

// The templates per system and part. A record that cannot be used (an unknown part, a Null name) is
// skipped and puts the plain variable-name marker into part 1 where it is still empty. A table that
// cannot be read (no Source_DEFS, a missing field, a broken file) raises: without its templates the
// update cannot generate the preset table completely.
VarNameTemplateTable ReadVarNameTemplates(const QString& sourcePath);
