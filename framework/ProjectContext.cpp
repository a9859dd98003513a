#include "framework/ProjectContext.h"

#include "framework/Text.h"

QString ProjectContext::ExistingMachine(int m) const {
  return m >= 1 && m <= project.machines.size() ? project.machines.at(m - 1) : QString();
}

bool ProjectContext::MachineTakesPart(int m) const {
  if (mode.integrated) {
    const QString valid = UCase(project.validMachines);
    return valid == QStringLiteral("ALL") || valid.contains(UCase(ExistingMachine(m)));
  }
  return m >= 1 && m <= kMachineSlots && project.forMachine[m - 1];
}
