#include "presets/WorkOnMdb.h"

// Placeholder until the preset database update lands.
void WorkOnMDB() {}
