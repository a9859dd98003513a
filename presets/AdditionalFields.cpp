#include "presets/AdditionalFields.h"

#include "framework/ErrorTrap.h"
#include "framework/IniAccess.h"
#include "framework/Installation.h"
#include "framework/UserPort.h"
#include "presets/PresetState.h"

QStringList GetAdditionalFieldsMDB() {
  Trap trap(QStringLiteral("GetAdditionalFieldsMDB"));
  QStringList fields{QString()};
  QString s;
  trap.Run([&] {
    s = LoadIniString(QStringLiteral("Project"), QStringLiteral("DataBaseAdditionalFields"), GetCFGPath(),
                      false);
  });
  s = s.isEmpty() ? QStringLiteral("part") : QStringLiteral("part,") + s;
  for (;;) {
    LetEventsRun();
    const qsizetype comma = s.indexOf(QLatin1Char(','));
    if (comma < 0) {
      fields.append(s);
      break;
    }
    fields.append(s.left(comma));
    s = s.mid(comma + 1);
  }
  return fields;
}

void GetAddFields() {
  Trap trap(QStringLiteral("GetAddFields"));
  trap.Run([&] { AddFieldsList = GetAdditionalFieldsMDB(); });
  if (!AddFieldsList) return;
  QString s;
  const int64_t n = AddFieldsList->size() - 1;
  for (int64_t k = 1; k <= n; ++k) s += QStringLiteral(", PRESET_DEFS.") + AddFieldsList->at(k);
  AddFieldsSQL = s;
  AddFieldsCount = n;
}
