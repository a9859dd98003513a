#include "presets/UpdateReport.h"

#include "framework/Text.h"

namespace {

const char* const kValueNames[] = {"abs_min", "abs_max", "min", "max", "pass"};

// A field value as the report shows it: texts in quotes (so blanks and empty texts can be seen), NULL
// for no value, a blob as its SQL hex literal.
QString FieldText(const db::Value& value) {
  if (db::IsNull(value)) return QStringLiteral("NULL");
  if (const auto* text = std::get_if<db::Text>(&value)) {
    return u'"' + QString::fromUtf8(text->utf8) + u'"';
  }
  if (const auto* blob = std::get_if<db::Blob>(&value)) {
    return QStringLiteral("x'") + QString::fromLatin1(blob->bytes.toHex()) + u'\'';
  }
  return db::ToQString(value);
}

QString Count(const char* what, int64_t count) {
  return QStringLiteral("  %1: %2").arg(QLatin1String(what)).arg(count);
}

}  // namespace

void UpdateReport::Begin(const UpdateReportHeader& header) {
  Line(QStringLiteral("Documentation database update"));
  Line(QStringLiteral("Date: ") + header.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
  Line(header.dryRun
           ? QStringLiteral("Run: dry run; nothing was changed, the outcome is what the update would do")
           : QStringLiteral("Run: update"));
  Line(QStringLiteral("Mode: ") + header.mode);
  Line(QStringLiteral("Source: ") + header.source);
  Line(QStringLiteral("Project database: ") + header.project);
  Line(QStringLiteral("Values taken from: ") + (header.valuesFrom.isEmpty()
                                                    ? QStringLiteral("none (there is no such database)")
                                                    : header.valuesFrom));
  Line(QStringLiteral("Active system: ") + header.activeSystem);
}

void UpdateReport::RenameFailures(const std::vector<RenameFailure>& failures) {
  if (failures.empty()) return;
  Line(QString());
  Line(QStringLiteral("Renames that failed (the record keeps its old name):"));
  for (const RenameFailure& failure : failures) {
    Line(QStringLiteral("  %1 -> %2: %3").arg(failure.oldName, failure.newName, failure.reason.description));
  }
}

void UpdateReport::Unmatched(const UnmatchedRecord& record) {
  if (!unmatchedTitled_) {
    unmatchedTitled_ = true;
    Line(QString());
    Line(QStringLiteral("Old records that no new record matches (these values are not in the new table):"));
  }
  QString line = QStringLiteral("  machine_type=%1 var_name=%2 offset_or_bitno=%3")
                     .arg(FieldText(record.machine), FieldText(record.varName), FieldText(record.offset));
  for (size_t i = 0; i < record.values.size(); ++i) {
    line += u' ' + QLatin1String(kValueNames[i]) + u'=' + FieldText(record.values[i]);
  }
  Line(line);
}

void UpdateReport::End(const UpdateCounts& counts, const QString& outcome) {
  Line(QString());
  Line(QStringLiteral("Counts:"));
  Line(Count("Template records read", counts.templateRecords));
  Line(Count("Records generated", counts.generated));
  Line(Count("Old records read", counts.oldRecords));
  Line(Count("Records whose values were taken over", counts.takenOver));
  Line(Count("Renames applied", counts.renamesApplied));
  Line(Count("Renames failed", counts.renamesFailed));
  Line(Count("Old records that no new record matches", counts.unmatched));
  Line(QString());
  Line(QStringLiteral("Outcome: ") + outcome);
}

void UpdateReportFile::Line(const QString& line) {
  writer_.Append(line);
  writer_.Append(kCrLf);
}
