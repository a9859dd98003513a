#pragma once
// Module variables of the database update. They are set during one update and read by its later steps.

#include "presets/FileOps.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

inline constexpr int kVisiWinSystems = 2;  // 0 = "VISIWIN32", 1 = "VISIWINSTUDIO"
inline constexpr int kTemplateParts = 50;  // part numbers 1 to 50

// 1 when the project uses VisiWin Studio names, else 0.
extern int16_t VisiWinSystemIndex;
// Name templates per system and part (index part - 1); entries start empty.
extern std::array<std::array<QString, kTemplateParts>, kVisiWinSystems> VarNameTemplates;
// The source database's times, read at the start of the update (none when the file was not writable).
extern std::optional<FileTimes> SourceFileTimes;

// The declared additional PRESET_DEFS fields: nullopt until GetAddFields ran; element 0 empty, element 1
// always "part".
extern std::optional<QStringList> AddFieldsList;
// ", PRESET_DEFS." + name for every listed field.
extern QString AddFieldsSQL;
extern int64_t AddFieldsCount;

// The working copy of the project database that the renames and the takeover of one update read and
// change; empty outside an update. The project database itself is only ever replaced whole, so an
// update that ends early, or a killed process, leaves it as it was.
extern QString ProjectWorkingCopy;

// Back to the start values (tests run many updates in one process).
void ResetPresetsState();
