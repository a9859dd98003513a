#pragma once
// The database update that runs when the editor closes.

void WorkOnMDB();
