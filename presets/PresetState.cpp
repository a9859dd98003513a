#include "presets/PresetState.h"

int16_t VisiWinSystemIndex = 0;
std::array<std::array<QString, kTemplateParts>, kVisiWinSystems> VarNameTemplates;
std::optional<FileTimes> SourceFileTimes;
std::optional<QStringList> AddFieldsList;
QString AddFieldsSQL;
int64_t AddFieldsCount = 0;
QString ProjectWorkingCopy;

void ResetPresetsState() {
  VisiWinSystemIndex = 0;
  for (auto& system : VarNameTemplates) system.fill(QString());
  SourceFileTimes.reset();
  AddFieldsList.reset();
  AddFieldsSQL.clear();
  AddFieldsCount = 0;
  ProjectWorkingCopy.clear();
}
