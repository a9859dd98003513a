#include "presets/AdditionalFields.h"

#include "framework/Installation.h"

QStringList GetAdditionalFieldsMDB(const QString& declared) {
  QStringList fields{QString()};
  QString s = declared.isEmpty() ? QStringLiteral("part") : QStringLiteral("part,") + declared;
  for (;;) {
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

void GetAddFields(UpdateRun& run) {
  // The fields are declared in the CFG file, read at start-up; it must still be there.
  GetCFGPath(run.context);
  AdditionalFields fields;
  fields.list = GetAdditionalFieldsMDB(run.context.project.additionalFields);
  fields.count = fields.list.size() - 1;
  for (int64_t k = 1; k <= fields.count; ++k)
    fields.sql += QStringLiteral(", PRESET_DEFS.") + fields.list.at(k);
  run.addFields = std::move(fields);
}
