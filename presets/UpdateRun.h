#pragma once
// One run of the database update: the project it works for and what all its phases read (the name
// templates, the VisiWin system, the additional fields). It lives for one call of WorkOnMDB; what one
// phase hands on to the next is that phase's result, not part of the run.

#include "framework/ProjectContext.h"

#include <QString>
#include <QStringList>

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

inline constexpr int kVisiWinSystems = 2;  // 0 = "VISIWIN32", 1 = "VISIWINSTUDIO"
inline constexpr int kTemplateParts = 50;  // part numbers 1 to 50

// Name templates per system and part (index part - 1); entries start empty.
using VarNameTemplateTable = std::array<std::array<QString, kTemplateParts>, kVisiWinSystems>;

// The declared additional PRESET_DEFS fields: element 0 empty, element 1 always "part".
struct AdditionalFields {
  QStringList list;
  QString sql;  // ", PRESET_DEFS." + name for every listed field
  int64_t count = 0;
};

struct UpdateRun {
  explicit UpdateRun(ProjectContext& context_) : context(context_) {}

  ErrorHandling& Errors() const { return context.errors; }
  UserPort& Port() const { return context.port; }

  ProjectContext& context;
  // How long the update waits for another run's update of the same project before it refuses.
  std::chrono::milliseconds lockWait{30000};
  // The cache of the takeover's sort of the old records, in KiB: a working copy of up to twice this size
  // is sorted in memory, a larger one is written out in pieces of half of it.
  int takeoverSortKiB = 16 * 1024;
  // 1 when the project uses VisiWin Studio names, else 0.
  int16_t visiWinSystemIndex = 0;
  VarNameTemplateTable varNameTemplates;
  // Set by GetAddFields before the takeover; none until then.
  std::optional<AdditionalFields> addFields;
};
