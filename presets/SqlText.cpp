#include "presets/SqlText.h"

#include "framework/ErrorTrap.h"

#include <QRegularExpression>

#include <algorithm>

namespace db {

QString Quote(const QString& identifier) {
  QString quoted = identifier;
  quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

std::optional<QString> FreeRowNumberName(const std::vector<FieldDef>& fields) {
  for (const char* candidate : {"rowid", "_rowid_", "oid"}) {
    const QString name = QString::fromLatin1(candidate);
    const bool used = std::any_of(fields.begin(), fields.end(), [&](const FieldDef& field) {
      return field.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (!used) return name;
  }
  return std::nullopt;
}

QString RowNumberName(const std::vector<FieldDef>& fields) {
  if (std::optional<QString> name = FreeRowNumberName(fields)) return *name;
  Raise(kErrTypeMismatch,
        QStringLiteral("The table has fields named rowid, _rowid_ and oid: its rows cannot be "
                       "addressed"));
}

bool IsPlainTypeName(const QString& declaredType) {
  static const QRegularExpression kTypeName(QStringLiteral(
      R"(^\s*[A-Za-z_][A-Za-z0-9_]*(\s+[A-Za-z0-9_]+)*\s*(\(\s*[+-]?[0-9]+\s*(,\s*[+-]?[0-9]+\s*)?\))?\s*$)"));
  return kTypeName.match(declaredType).hasMatch();
}

}  // namespace db
