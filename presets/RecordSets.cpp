#include "presets/RecordSets.h"

#include "framework/ErrorTrap.h"
#include "framework/Text.h"
#include "presets/ProjectRenames.h"

#include <QStringList>

#include <cmath>
#include <optional>
#include <vector>

namespace {

const QString kVarNamePlaceholder = QStringLiteral("###Var_Name");
const QString kMachinePlaceholder = QStringLiteral("###machine");

// Index of the first field whose upper-cased name is the given one, -1 when there is none.
int FieldIndex(const std::vector<db::FieldDef>& fields, const QString& upperName) {
  for (size_t k = 0; k < fields.size(); ++k) {
    if (UCase(fields[k].name) == upperName) return static_cast<int>(k);
  }
  return -1;
}

}  // namespace

QString ReplaceSearchItem(const QString& text, const QString& searchItem, const QString& replacement) {
  const qsizetype p = UCase(text).indexOf(UCase(searchItem));
  if (p < 0) return text;
  return text.left(p) + replacement + text.mid(p + searchItem.size());
}

int64_t PartNumber(const db::Value& value) {
  std::optional<double> number;
  if (!db::IsNull(value) && !std::holds_alternative<db::Blob>(value)) number = db::ToNumber(value);
  if (!number) Raise(kErrTypeMismatch, QStringLiteral("Type mismatch"));
  const double part = std::nearbyint(*number);  // whole numbers round half to even
  if (part < 1 || part > kTemplateParts) Raise(kErrSubscript, QStringLiteral("Subscript out of range"));
  return static_cast<int64_t>(part);
}

void CreateRecordSets(UpdateRun& run, db::Connection& database) {
  Trap trap(run.Errors(), QStringLiteral("CreateRecordSets"));

  std::vector<db::FieldDef> target;
  std::optional<db::Statement> insert;
  trap.Run([&] {
    target = database.Fields(QStringLiteral("PRESET_DEFS"));
    QStringList names, parameters;
    for (size_t k = 0; k < target.size(); ++k) {
      names << db::Quote(target[k].name);
      parameters << QStringLiteral("?%1").arg(k + 1);
    }
    insert.emplace(
        database.Prepare(QStringLiteral("INSERT INTO PRESET_DEFS (%1) VALUES (%2)")
                             .arg(names.join(QLatin1Char(',')), parameters.join(QLatin1Char(',')))));
  });
  std::optional<db::Statement> source;
  trap.Run([&] {
    source.emplace(database.Prepare(QStringLiteral(
        "SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID")));
  });
  if (!insert || !source) return;

  bool hasRecord = false;
  if (!trap.Run([&] { hasRecord = source->Step(); }) || !hasRecord)
    return;  // an empty template is no failure

  if (!run.context.MachineTakesPart(1)) return;
  const QString machine = run.context.ExistingMachine(1);

  const int fieldCount = static_cast<int>(target.size());
  const int templateFieldCount = source->ColumnCount();
  const int idIndex = FieldIndex(target, QStringLiteral("ID"));
  const int partIndex = FieldIndex(target, QStringLiteral("PART"));
  const int varNameIndex = FieldIndex(target, QStringLiteral("VAR_NAME"));
  std::vector<VarNamePair> renames;
  // A field of the new record: still empty, the template's value (bound straight from the template
  // query, never copied), or a value worked out here.
  enum class Slot { Empty, Template, Computed };
  std::vector<Slot> fieldState(fieldCount);
  std::vector<db::Value> computed(fieldCount);
  // The part number field of the new record as it stands while field k is filled.
  const auto partValue = [&]() -> db::Value {
    if (partIndex < 0) Raise(kErrSubscript, QStringLiteral("Item not found in this collection: part"));
    switch (fieldState[partIndex]) {
      case Slot::Template:
        return source->Column(partIndex);
      case Slot::Computed:
        return computed[partIndex];
      default:
        return {};
    }
  };
  int64_t nextId = 1;

  // The records are written in one transaction; ending early keeps the records written so far.
  std::optional<db::Transaction> transaction;
  trap.Run([&] { transaction.emplace(database); });
  do {
    run.Port().LetEventsRun();
    std::fill(fieldState.begin(), fieldState.end(), Slot::Empty);
    trap.Run([&] {
      if (idIndex < 0) Raise(kErrSubscript, QStringLiteral("Item not found in this collection: ID"));
      computed[idIndex] = nextId;
      fieldState[idIndex] = Slot::Computed;
    });
    ++nextId;
    for (int k = 1; k < fieldCount; ++k) {
      trap.Run([&] {
        if (k >= templateFieldCount) Raise(kErrSubscript, QStringLiteral("Subscript out of range"));
        if (!source->ColumnIsText(k)) {
          fieldState[k] = Slot::Template;
        } else if (k == varNameIndex) {
          // Both systems' names of the variable; each starts empty so a record whose part number cannot
          // be used never inherits the names of the record before it.
          const QString varName = QString::fromUtf8(source->ColumnUtf8(k));
          QString names[kVisiWinSystems];
          for (int s = 0; s < kVisiWinSystems; ++s) {
            trap.Run([&] {
              const QString& nameTemplate = run.varNameTemplates[s][PartNumber(partValue()) - 1];
              names[s] = ReplaceSearchItem(nameTemplate, kVarNamePlaceholder, varName);
            });
            names[s] = ReplaceSearchItem(names[s], kMachinePlaceholder, machine);
            names[s] = ReplaceSearchItem(names[s], kMachinePlaceholder, machine);
          }
          computed[k] = db::TextValue(names[run.visiWinSystemIndex != 0 ? 1 : 0]);
          fieldState[k] = Slot::Computed;
          renames.push_back({std::move(names[0]), std::move(names[1])});
        } else if (const QByteArrayView text = source->ColumnUtf8(k); text.contains("###")) {
          // Only a text holding "###" can hold the placeholder: others are bound as they are.
          computed[k] =
              db::TextValue(ReplaceSearchItem(QString::fromUtf8(text), kMachinePlaceholder, machine));
          fieldState[k] = Slot::Computed;
        } else {
          fieldState[k] = Slot::Template;
        }
      });
    }
    trap.Run([&] {
      for (int k = 0; k < fieldCount; ++k) {
        switch (fieldState[k]) {
          case Slot::Template:
            insert->BindColumn(k + 1, *source, k);
            break;
          case Slot::Computed:
            insert->Bind(k + 1, computed[k]);
            break;
          default:
            insert->Bind(k + 1, db::Value{});
        }
      }
      insert->Step();
    });
    insert->Reset();
    hasRecord = false;
    trap.Run([&] { hasRecord = source->Step(); });
  } while (hasRecord);
  if (transaction) trap.Run([&] { transaction->Commit(); });
  transaction.reset();

  VarNamesInQuelleErsetzen(run, renames);
}
