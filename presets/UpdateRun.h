#pragma once
// One run of the database update: the project it works for, and what its steps hand on to each other.
// It lives for one call of WorkOnMDB; nothing of it outlives the update.

#include "framework/ProjectContext.h"
#include "presets/Database.h"

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
  // 1 when the project uses VisiWin Studio names, else 0.
  int16_t visiWinSystemIndex = 0;
  VarNameTemplateTable varNameTemplates;
  // Set by GetAddFields before the takeover; none until then.
  std::optional<AdditionalFields> addFields;
  // The working copy of the project database that the renames and the takeover read and change; empty
  // when there is none. The project database itself is only ever replaced whole, so an update that ends
  // early, or a killed process, leaves it as it was.
  QString projectCopy;
  // A connection to the working copy whose renames were found but not written: it holds them in
  // temp.qvz_renames (row, name), and the takeover reads the old records through it with their new
  // names. None when the renames were written or there were none.
  std::optional<db::Connection> renamedNames;
};
