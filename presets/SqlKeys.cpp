#include "presets/SqlKeys.h"

#include <sqlite3.h>

#include <cstring>
#include <optional>

namespace {

// The text of machine_type or var_name in the key: a text as it is, a blob's bytes, a number's decimal
// text, Null as the empty text. Only numbers need the buffer.
QByteArrayView KeyText(sqlite3_value* value, QByteArray& buffer) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_TEXT:
      return QByteArrayView(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                            sqlite3_value_bytes(value));
    case SQLITE_BLOB:
      return QByteArrayView(static_cast<const char*>(sqlite3_value_blob(value)), sqlite3_value_bytes(value));
    case SQLITE_INTEGER:
      buffer = db::ToQString(db::Value(static_cast<int64_t>(sqlite3_value_int64(value)))).toUtf8();
      return buffer;
    case SQLITE_FLOAT:
      buffer = db::ToQString(db::Value(sqlite3_value_double(value))).toUtf8();
      return buffer;
    default:
      return QByteArrayView("");
  }
}

// offset_or_bitno as a number; none when it is no number.
std::optional<double> OffsetNumber(sqlite3_value* value) {
  std::optional<double> number;
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      number = static_cast<double>(sqlite3_value_int64(value));
      break;
    case SQLITE_FLOAT:
      number = sqlite3_value_double(value);
      break;
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      number = db::ToNumber(db::Text{QByteArray(text, sqlite3_value_bytes(value))});
      break;
    }
    default:
      break;
  }
  if (number && *number == 0) number = 0.0;  // -0 is 0
  return number;
}

void NameHash(sqlite3_context* context, int, sqlite3_value** arguments) {
  if (sqlite3_value_type(arguments[0]) != SQLITE_TEXT) return sqlite3_result_null(context);
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
  sqlite3_result_int64(
      context, static_cast<int64_t>(db::FoldedHash(QByteArrayView(text, sqlite3_value_bytes(arguments[0])))));
}

void KeyHash(sqlite3_context* context, int, sqlite3_value** arguments) {
  const std::optional<double> offset = OffsetNumber(arguments[2]);
  if (!offset) return sqlite3_result_null(context);
  QByteArray buffer;
  uint64_t hash = db::FoldedHash(KeyText(arguments[0], buffer));
  hash = hash * 1099511628211ULL ^ db::FoldedHash(KeyText(arguments[1], buffer));
  uint64_t bits = 0;
  std::memcpy(&bits, &*offset, sizeof bits);
  hash = hash * 1099511628211ULL ^ bits;
  sqlite3_result_int64(context, static_cast<int64_t>(hash));
}

void KeyTextFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  if (sqlite3_value_type(arguments[0]) == SQLITE_TEXT) return sqlite3_result_value(context, arguments[0]);
  QByteArray buffer;
  const QByteArrayView text = KeyText(arguments[0], buffer);
  sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void OffsetKey(sqlite3_context* context, int, sqlite3_value** arguments) {
  const std::optional<double> offset = OffsetNumber(arguments[0]);
  if (!offset) return sqlite3_result_null(context);
  sqlite3_result_double(context, *offset);
}

}  // namespace

void RegisterKeyFunctions(db::Connection& connection) {
  constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  const struct {
    const char* name;
    int arguments;
    void (*function)(sqlite3_context*, int, sqlite3_value**);
  } functions[] = {{"qvz_name_hash", 1, &NameHash},
                   {"qvz_key_hash", 3, &KeyHash},
                   {"qvz_key_text", 1, &KeyTextFunction},
                   {"qvz_offset_key", 1, &OffsetKey}};
  for (const auto& f : functions) {
    if (sqlite3_create_function(connection.Handle(), f.name, f.arguments, kFlags, nullptr, f.function,
                                nullptr, nullptr) != SQLITE_OK) {
      db::ThrowSqliteError(connection.Handle());
    }
  }
}

QString KeyColumns(const QString& machine, const QString& varName, const QString& offset) {
  return QStringLiteral("qvz_key_hash(%1, %2, %3), qvz_key_text(%1), qvz_key_text(%2), qvz_offset_key(%3)")
      .arg(machine, varName, offset);
}

QString OrderByKey(int firstColumn) {
  return QStringLiteral("%1, %2 COLLATE %5, %3 COLLATE %5, %4")
      .arg(firstColumn)
      .arg(firstColumn + 1)
      .arg(firstColumn + 2)
      .arg(firstColumn + 3)
      .arg(QLatin1String(db::kNoCase));
}

int CompareKeys(const db::Statement& a, int aFirst, const db::Statement& b, int bFirst) {
  const int64_t x = a.ColumnInt(aFirst);
  const int64_t y = b.ColumnInt(bFirst);
  if (x != y) return x < y ? -1 : 1;
  for (int i = 1; i <= 2; ++i) {
    const int order = db::CompareNoCase(a.ColumnUtf8(aFirst + i), b.ColumnUtf8(bFirst + i));
    if (order != 0) return order;
  }
  const double p = a.ColumnDouble(aFirst + 3);
  const double q = b.ColumnDouble(bFirst + 3);
  return p < q ? -1 : (p > q ? 1 : 0);
}
