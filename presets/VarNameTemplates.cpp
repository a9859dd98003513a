#include "presets/VarNameTemplates.h"

#include "framework/ErrorTrap.h"
#include "framework/Text.h"
#include "presets/Database.h"
#include "presets/RecordSets.h"

namespace {

const QString kVarNameMarker = QStringLiteral("###Var_Name");
const QString kSystems[kVisiWinSystems] = {QStringLiteral("VISIWIN32"), QStringLiteral("VISIWINSTUDIO")};

// A failure while reading the templates leaves part 1 of both systems resolving to the plain variable
// name, but never overwrites a template that was read.
void MarkTemplateReadFailure(VarNameTemplateTable& templates) {
  for (auto& system : templates) {
    if (system[0].isEmpty()) system[0] = kVarNameMarker;
  }
}

void ReadRecord(const db::Statement& records, VarNameTemplateTable& templates) {
  for (int j = 0; j < kVisiWinSystems; ++j) {
    try {
      if (records.ColumnIsNull(0) || UCase(records.ColumnText(0)) != kSystems[j]) continue;
      const int64_t part = PartNumber(records.Column(1));
      if (records.ColumnIsNull(2)) Raise(kErrTypeMismatch, QStringLiteral("Invalid use of Null"));
      templates[j][part - 1] = db::ToQString(records.Column(2));
    } catch (const AppError&) {
      MarkTemplateReadFailure(templates);
    }
  }
}

}  // namespace

VarNameTemplateTable ReadVarNameTemplates(const QString& sourcePath) {
  VarNameTemplateTable templates;
  try {
    db::Connection source = db::Connection::Open(sourcePath);
    db::Statement records = source.Prepare(QStringLiteral("SELECT System, Part, Var_Name FROM Source_DEFS"));
    while (records.Step()) ReadRecord(records, templates);
  } catch (...) {
    MarkTemplateReadFailure(templates);
    throw;
  }
  return templates;
}
