#include "presets/RecordSets.h"

#include "framework/ErrorTrap.h"
#include "framework/Installation.h"
#include "framework/Text.h"

#include <QStringList>

#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Index of the first field whose upper-cased name is the given one, -1 when there is none.
int FieldIndex(const std::vector<db::FieldDef>& fields, const QString& upperName) {
  for (size_t k = 0; k < fields.size(); ++k) {
    if (UCase(fields[k].name) == upperName) return static_cast<int>(k);
  }
  return -1;
}

// The name of machine 1, which every generated record is resolved with. A machine list without it (a
// program INI that names no machines) is error 9: the records would get names without a machine. The
// error says what was wrong with the list.
QString MachineOneName(const ProjectContext& context) {
  if (context.project.machines.isEmpty()) {
    const QString& problem = context.project.machineListProblem;
    Raise(kErrSubscript, QStringLiteral("Subscript out of range") +
                             (problem.isEmpty() ? QString() : QStringLiteral(": ") + problem));
  }
  const QString name = context.ExistingMachine(1);
  if (name.isEmpty()) Raise(kErrSubscript, QStringLiteral("Machine 1 has no name"));
  return name;
}

// The name templates of both systems as UTF-8, as the generation binds them.
using TemplateBytes = std::array<std::array<QByteArray, kTemplateParts>, kVisiWinSystems>;

// Writes the records of PRESET_DEFS from the template records, one at a time. A value taken over from the
// template is bound where the template query holds it, and a resolved text from a buffer of its field:
// no value is copied or allocated on the way, unless a text is not plain ASCII.
class Generator {
 public:
  Generator(UpdateRun& run, db::Connection& database) : run_(run), database_(database) {}

  // Prepares the template query (in ID order) and the insert into PRESET_DEFS.
  void Prepare();
  // How many template records there are.
  int64_t TemplateCount() const { return templateCount_; }
  // Moves to the next template record; false after the last one.
  bool NextTemplate() { return source_->Step(); }
  // Writes the new record of the current template record; its variable name's renames go to calls.
  // True when the record was written.
  bool Generate(RecordTrap& records, PlaceholderResolver& resolver, RenameCalls& calls);

 private:
  // A field of the new record: still empty, the record's new ID, the template's value, or a text worked
  // out here.
  enum class Slot { Empty, Id, Template, Resolved };
  db::Value PartValue() const;
  void FillField(RecordTrap& records, int k, PlaceholderResolver& resolver, RenameCalls& calls);
  void ResolveVarName(RecordTrap& records, int k, PlaceholderResolver& resolver, RenameCalls& calls);
  void Insert();

  UpdateRun& run_;
  db::Connection& database_;
  std::vector<db::FieldDef> target_;
  std::optional<db::Statement> insert_;
  std::optional<db::Statement> source_;
  TemplateBytes templates_;
  int templateFieldCount_ = 0;
  int idIndex_ = -1;
  int partIndex_ = -1;
  int varNameIndex_ = -1;
  std::vector<Slot> state_;
  std::vector<QByteArrayView> resolved_;  // the text of a resolved field: in the template row or a buffer
  std::vector<QByteArray> buffers_;       // one per field
  QByteArray names_[kVisiWinSystems];
  int64_t templateCount_ = 0;
  int64_t nextId_ = 1;
  int64_t id_ = 0;
};

void Generator::Prepare() {
  target_ = database_.Fields(QStringLiteral("PRESET_DEFS"));
  QStringList names, parameters;
  for (size_t k = 0; k < target_.size(); ++k) {
    names << db::Quote(target_[k].name);
    parameters << QStringLiteral("?%1").arg(k + 1);
  }
  insert_.emplace(
      database_.Prepare(QStringLiteral("INSERT INTO PRESET_DEFS (%1) VALUES (%2)")
                            .arg(names.join(QLatin1Char(',')), parameters.join(QLatin1Char(',')))));
  source_.emplace(database_.Prepare(
      QStringLiteral("SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID")));
  templateFieldCount_ = source_->ColumnCount();
  templateCount_ = db::ApproximateRecordCount(database_, QStringLiteral("Source_PRESET_DEFS"));
  idIndex_ = FieldIndex(target_, QStringLiteral("ID"));
  partIndex_ = FieldIndex(target_, QStringLiteral("PART"));
  varNameIndex_ = FieldIndex(target_, QStringLiteral("VAR_NAME"));
  state_.assign(target_.size(), Slot::Empty);
  resolved_.assign(target_.size(), QByteArrayView());
  buffers_.assign(target_.size(), QByteArray());
  for (int s = 0; s < kVisiWinSystems; ++s) {
    for (int p = 0; p < kTemplateParts; ++p) templates_[s][p] = run_.varNameTemplates[s][p].toUtf8();
  }
}

// The part number field of the new record as it stands while a later field is filled.
db::Value Generator::PartValue() const {
  if (partIndex_ < 0) Raise(kErrSubscript, QStringLiteral("Item not found in this collection: part"));
  switch (state_[partIndex_]) {
    case Slot::Template:
      return source_->Column(partIndex_);
    case Slot::Resolved:
      return db::Text{resolved_[partIndex_].toByteArray()};
    case Slot::Id:
      return id_;
    default:
      return {};
  }
}

bool Generator::Generate(RecordTrap& records, PlaceholderResolver& resolver, RenameCalls& calls) {
  std::fill(state_.begin(), state_.end(), Slot::Empty);
  records.Run([&] {
    if (idIndex_ < 0) Raise(kErrSubscript, QStringLiteral("Item not found in this collection: ID"));
    state_[idIndex_] = Slot::Id;
  });
  id_ = nextId_++;
  for (int k = 1; k < static_cast<int>(target_.size()); ++k) {
    records.Run([&] { FillField(records, k, resolver, calls); });
  }
  const bool written = records.Run([&] { Insert(); });
  insert_->Reset();
  return written;
}

void Generator::FillField(RecordTrap& records, int k, PlaceholderResolver& resolver, RenameCalls& calls) {
  if (k >= templateFieldCount_) Raise(kErrSubscript, QStringLiteral("Subscript out of range"));
  if (!source_->ColumnIsText(k)) {
    state_[k] = Slot::Template;
  } else if (k == varNameIndex_) {
    ResolveVarName(records, k, resolver, calls);
  } else if (const QByteArrayView text = source_->ColumnUtf8(k); text.contains("###")) {
    // Only a text holding "###" can hold the placeholder: others are bound as they are.
    resolved_[k] = resolver.ResolveText(text, buffers_[k]);
    state_[k] = Slot::Resolved;
  } else {
    state_[k] = Slot::Template;
  }
}

// Both systems' names of the variable; each starts empty so a record whose part number cannot be used
// never inherits the names of the record before it.
void Generator::ResolveVarName(RecordTrap& records, int k, PlaceholderResolver& resolver,
                               RenameCalls& calls) {
  const QByteArrayView varName = source_->ColumnUtf8(k);
  QByteArrayView names[kVisiWinSystems];
  for (int s = 0; s < kVisiWinSystems; ++s) {
    const bool resolved = records.Run([&] {
      names[s] = resolver.ResolveName(templates_[s][PartNumber(PartValue()) - 1], varName, names_[s]);
    });
    if (!resolved) names[s] = QByteArrayView("");
  }
  resolved_[k] = names[run_.visiWinSystemIndex != 0 ? 1 : 0];
  state_[k] = Slot::Resolved;
  calls.Add(names[0], names[1]);
}

void Generator::Insert() {
  for (int k = 0; k < static_cast<int>(target_.size()); ++k) {
    switch (state_[k]) {
      case Slot::Id:
        insert_->BindInt(k + 1, id_);
        break;
      case Slot::Template:
        insert_->BindColumnStatic(k + 1, *source_, k);
        break;
      case Slot::Resolved:
        insert_->BindStatic(k + 1, resolved_[k]);
        break;
      default:
        insert_->Bind(k + 1, db::Value{});
    }
  }
  insert_->Step();
}

}  // namespace

int64_t PartNumber(const db::Value& value) {
  std::optional<double> number;
  if (!db::IsNull(value) && !std::holds_alternative<db::Blob>(value)) number = db::ToNumber(value);
  if (!number) Raise(kErrTypeMismatch, QStringLiteral("Type mismatch"));
  const double part = std::nearbyint(*number);  // whole numbers round half to even
  if (part < 1 || part > kTemplateParts) Raise(kErrSubscript, QStringLiteral("Subscript out of range"));
  return static_cast<int64_t>(part);
}

GenerationResult CreateRecordSets(UpdateRun& run, db::Connection& database, const QString& workingCopy) {
  Trap trap(run.Errors(), QStringLiteral("CreateRecordSets"));
  // Which machines get records is read from the CFG file. Its switches were read at start-up, but the
  // file must still be there: one gone since ends the run here, before a record is generated and before
  // the project database is replaced.
  GetCFGPath(run.context);
  GenerationResult result;
  Generator generator(run, database);
  if (!trap.Run([&] { generator.Prepare(); })) return result;
  bool hasRecord = false;
  if (!trap.Run([&] { hasRecord = generator.NextTemplate(); })) return result;
  result.complete = true;
  if (!hasRecord) return result;  // an empty template is no failure
  if (!run.context.MachineTakesPart(1)) return result;
  QString machine;
  if (!trap.Run([&] { machine = MachineOneName(run.context); })) {
    result.complete = false;
    return result;
  }

  // The records are written in one transaction. A failure that repeats record after record is
  // reported once, when the generation is done.
  RecordTrap records(trap);
  PlaceholderResolver resolver(machine);
  RenameCalls& renames =
      result.renames.emplace(workingCopy, run.visiWinSystemIndex, generator.TemplateCount());
  std::optional<db::Transaction> transaction;
  trap.Run([&] { transaction.emplace(database); });
  do {
    records.NextRecord();
    ++result.templateRecords;
    run.Port().LetEventsRun();
    if (generator.Generate(records, resolver, renames)) ++result.records;
    hasRecord = false;
    records.Run([&] { hasRecord = generator.NextTemplate(); });
  } while (hasRecord);
  result.complete = !records.Failed();
  if (transaction && !trap.Run([&] { transaction->Commit(); })) result.complete = false;
  transaction.reset();
  records.Finish();
  return result;
}
