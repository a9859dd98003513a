#include "presets/Database.h"

#include "framework/ErrorTrap.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <exception>

namespace db {

namespace {

int CollateNoCase(void*, int sizeA, const void* a, int sizeB, const void* b) {
  return CompareNoCase(QByteArrayView(static_cast<const char*>(a), sizeA),
                       QByteArrayView(static_cast<const char*>(b), sizeB));
}

QByteArray Utf8(const QString& text) {
  return text.toUtf8();
}

}  // namespace

Value TextValue(const QString& text) {
  return Text{text.toUtf8()};
}

QString ToQString(const Value& v) {
  if (const auto* t = std::get_if<Text>(&v)) return QString::fromUtf8(t->utf8);
  if (const auto* i = std::get_if<int64_t>(&v)) return QString::number(*i);
  if (const auto* d = std::get_if<double>(&v)) return QString::number(*d, 'g', 15);
  if (const auto* b = std::get_if<Blob>(&v)) return QString::fromUtf8(b->bytes);
  return {};
}

std::optional<double> ToNumber(const Value& v) {
  if (const auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* t = std::get_if<Text>(&v)) {
    bool ok = false;
    const double d = QString::fromUtf8(t->utf8).trimmed().toDouble(&ok);
    if (ok && std::isfinite(d)) return d;
  }
  return std::nullopt;
}

void ThrowSqliteError(sqlite3* db) {
  const int code = db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM;
  const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
  throw AppError(code, QStringLiteral("SQLite"), message);
}

// ---- Statement ----

Statement::Statement(sqlite3* db, const QString& sql) : db_(db) {
  const QByteArray text = Utf8(sql);
  if (sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &stmt_, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    ThrowSqliteError(db_);
  }
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
  other.stmt_ = nullptr;
}

void Statement::Fail() const {
  ThrowSqliteError(db_);
}

void Statement::Bind(int index, const Value& value) {
  int rc = SQLITE_OK;
  if (const auto* t = std::get_if<Text>(&value)) {
    rc = sqlite3_bind_text(stmt_, index, t->utf8.constData(), static_cast<int>(t->utf8.size()),
                           SQLITE_TRANSIENT);
  } else if (const auto* i = std::get_if<int64_t>(&value)) {
    rc = sqlite3_bind_int64(stmt_, index, *i);
  } else if (const auto* d = std::get_if<double>(&value)) {
    rc = sqlite3_bind_double(stmt_, index, *d);
  } else if (const auto* b = std::get_if<Blob>(&value)) {
    rc = sqlite3_bind_blob(stmt_, index, b->bytes.constData(), static_cast<int>(b->bytes.size()),
                           SQLITE_TRANSIENT);
  } else {
    rc = sqlite3_bind_null(stmt_, index);
  }
  if (rc != SQLITE_OK) Fail();
}

void Statement::BindText(int index, const QString& text) {
  Bind(index, TextValue(text));
}

void Statement::BindColumn(int index, const Statement& from, int column) {
  if (sqlite3_bind_value(stmt_, index, sqlite3_column_value(from.stmt_, column)) != SQLITE_OK) Fail();
}

void Statement::BindStatic(int index, QByteArrayView utf8) {
  // A null pointer would bind Null; an empty text must stay text.
  const char* data = utf8.data() ? utf8.data() : "";
  if (sqlite3_bind_text(stmt_, index, data, static_cast<int>(utf8.size()), SQLITE_STATIC) != SQLITE_OK)
    Fail();
}

void Statement::BindColumnStatic(int index, const Statement& from, int column) {
  int rc = SQLITE_OK;
  switch (sqlite3_column_type(from.stmt_, column)) {
    case SQLITE_INTEGER:
      rc = sqlite3_bind_int64(stmt_, index, sqlite3_column_int64(from.stmt_, column));
      break;
    case SQLITE_FLOAT:
      rc = sqlite3_bind_double(stmt_, index, sqlite3_column_double(from.stmt_, column));
      break;
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(from.stmt_, column));
      rc = sqlite3_bind_text(stmt_, index, text, sqlite3_column_bytes(from.stmt_, column), SQLITE_STATIC);
      break;
    }
    case SQLITE_BLOB: {
      const void* blob = sqlite3_column_blob(from.stmt_, column);
      const int size = sqlite3_column_bytes(from.stmt_, column);
      rc = blob ? sqlite3_bind_blob(stmt_, index, blob, size, SQLITE_STATIC)
                : sqlite3_bind_zeroblob(stmt_, index, 0);
      break;
    }
    default:
      rc = sqlite3_bind_null(stmt_, index);
  }
  if (rc != SQLITE_OK) Fail();
}

void Statement::BindInt(int index, int64_t value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) Fail();
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail();
}

void Statement::Reset() {
  // The bindings stay: every caller binds all parameters again, and a parameter keeps its buffer.
  sqlite3_reset(stmt_);
}

int Statement::ColumnCount() const {
  return sqlite3_column_count(stmt_);
}

QString Statement::ColumnName(int i) const {
  return QString::fromUtf8(sqlite3_column_name(stmt_, i));
}

QString Statement::ColumnDeclaredType(int i) const {
  const char* type = sqlite3_column_decltype(stmt_, i);
  return type ? QString::fromUtf8(type) : QString();
}

Value Statement::Column(int i) const {
  switch (sqlite3_column_type(stmt_, i)) {
    case SQLITE_INTEGER:
      return static_cast<int64_t>(sqlite3_column_int64(stmt_, i));
    case SQLITE_FLOAT:
      return sqlite3_column_double(stmt_, i);
    case SQLITE_TEXT: {
      const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
      return Text{QByteArray(data, sqlite3_column_bytes(stmt_, i))};
    }
    case SQLITE_BLOB: {
      const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, i));
      return Blob{QByteArray(data, sqlite3_column_bytes(stmt_, i))};
    }
    default:
      return std::monostate{};
  }
}

int64_t Statement::ColumnInt(int i) const {
  return sqlite3_column_int64(stmt_, i);
}

QString Statement::ColumnText(int i) const {
  const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
  return data ? QString::fromUtf8(data, sqlite3_column_bytes(stmt_, i)) : QString();
}

bool Statement::ColumnIsText(int i) const {
  return sqlite3_column_type(stmt_, i) == SQLITE_TEXT;
}

QByteArrayView Statement::ColumnUtf8(int i) const {
  const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
  return data ? QByteArrayView(data, sqlite3_column_bytes(stmt_, i)) : QByteArrayView();
}

int Statement::ColumnType(int i) const {
  return sqlite3_column_type(stmt_, i);
}

double Statement::ColumnDouble(int i) const {
  return sqlite3_column_double(stmt_, i);
}

bool Statement::ColumnIsNull(int i) const {
  return sqlite3_column_type(stmt_, i) == SQLITE_NULL;
}

// ---- Connection ----

// SQLite's memory statistics are kept under a global mutex on every allocation; the program never reads
// them. The setting must precede SQLite's initialization, so it is made before the first connection.
void TurnOffMemoryStatistics() {
  static const bool done = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)done;
}

Connection Connection::OpenWith(const QString& path, int flags) {
  TurnOffMemoryStatistics();
  sqlite3* handle = nullptr;
  const QByteArray name = QFile::encodeName(path);
  const int rc = sqlite3_open_v2(name.constData(), &handle, flags, nullptr);
  Connection connection(handle);  // closes the handle on every path out
  if (rc != SQLITE_OK) ThrowSqliteError(handle);
  sqlite3_extended_result_codes(handle, 1);
  // A double-quoted name that is no field must be an error, not silently a text literal.
  sqlite3_db_config(handle, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(handle, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  if (sqlite3_create_collation(handle, kNoCase, SQLITE_UTF8, nullptr, &CollateNoCase) != SQLITE_OK) {
    ThrowSqliteError(handle);
  }
  connection.Exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
  // The preset tables are dropped and rebuilt whole on every update: overwriting the dropped pages with
  // zeros first (where SQLite was built to) only doubles the writes and the journal, for data that is
  // written again at once.
  connection.Exec(QStringLiteral("PRAGMA secure_delete=OFF"));
  // Room for a whole update of a large table in the cache, so a transaction does not spill to disk.
  connection.Exec(QStringLiteral("PRAGMA cache_size=-32768"));
  return connection;
}

Connection Connection::Open(const QString& path) {
  return OpenWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
}

Connection Connection::OpenAsIs(const QString& path, int busyMs) {
  TurnOffMemoryStatistics();
  sqlite3* handle = nullptr;
  const QByteArray name = QFile::encodeName(path);
  const int rc =
      sqlite3_open_v2(name.constData(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  Connection connection(handle);
  if (rc != SQLITE_OK) ThrowSqliteError(handle);
  sqlite3_extended_result_codes(handle, 1);
  sqlite3_busy_timeout(handle, busyMs);
  return connection;
}

Connection Connection::Create(const QString& path) {
  QFile::remove(path);
  QFile::remove(path + QStringLiteral("-journal"));
  return OpenWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
}

Connection::~Connection() {
  if (db_) sqlite3_close_v2(db_);
}

Connection::Connection(Connection&& other) noexcept : db_(other.db_) {
  other.db_ = nullptr;
}

void Connection::Exec(const QString& sql) {
  const QByteArray text = Utf8(sql);
  if (sqlite3_exec(db_, text.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) ThrowSqliteError(db_);
}

int64_t Connection::Changes() const {
  return sqlite3_changes64(db_);
}

std::optional<QString> Connection::FindTable(const QString& name) {
  Statement find(db_, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 "
                                     "COLLATE %1 ORDER BY rowid LIMIT 1")
                          .arg(QLatin1String(kNoCase)));
  find.BindText(1, name);
  if (find.Step()) return find.ColumnText(0);
  return std::nullopt;
}

std::vector<FieldDef> Connection::Fields(const QString& table) {
  // A query over the table gives the fields in ordinal order with their declared types, and fails with
  // SQLite's own "no such table" when the table is missing.
  Statement all(db_, QStringLiteral("SELECT * FROM %1").arg(Quote(table)));
  std::vector<FieldDef> fields;
  for (int i = 0; i < all.ColumnCount(); ++i)
    fields.push_back({all.ColumnName(i), all.ColumnDeclaredType(i)});
  return fields;
}

int64_t ApproximateRecordCount(Connection& connection, const QString& table) {
  // A table without row numbers (WITHOUT ROWID, or all three names taken by fields) is counted.
  const std::optional<QString> rowNumber = FreeRowNumberName(connection.Fields(table));
  Statement kind = connection.Prepare(
      QStringLiteral("SELECT wr FROM pragma_table_list WHERE schema = 'main' AND name = ?1 COLLATE NOCASE"));
  kind.BindText(1, table);
  const bool hasRowNumbers = rowNumber && kind.Step() && kind.ColumnInt(0) == 0;
  Statement highest = connection.Prepare(
      hasRowNumbers ? QStringLiteral("SELECT max(%1) FROM %2").arg(*rowNumber, Quote(table))
                    : QStringLiteral("SELECT count(*) FROM %1").arg(Quote(table)));
  return highest.Step() ? highest.ColumnInt(0) : 0;
}

RowAddress RowAddressOf(Connection& connection, const QString& table) {
  Statement kind = connection.Prepare(
      QStringLiteral("SELECT wr FROM pragma_table_list WHERE schema = 'main' AND name = ?1 COLLATE NOCASE"));
  kind.BindText(1, table);
  RowAddress address;
  if (!(kind.Step() && kind.ColumnInt(0) != 0)) {
    address.fields << RowNumberName(connection.Fields(table));
    return address;
  }
  address.rowNumber = false;
  Statement key =
      connection.Prepare(QStringLiteral("SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk"));
  key.BindText(1, table);
  while (key.Step()) address.fields << Quote(key.ColumnText(0));
  return address;
}

Connection Connection::OpenWorkingCopy(const QString& path) {
  Connection connection = Open(path);
  connection.Exec(QStringLiteral("PRAGMA synchronous=OFF"));
  SortWithHelperThread(connection);
  return connection;
}

Connection Connection::CreateForScript(const QString& path) {
  Connection connection = Create(path);
  connection.Exec(QStringLiteral("PRAGMA synchronous=OFF"));
  return connection;
}

Connection Connection::OpenToHold(const QString& path, int busyMs) {
  Connection connection = OpenAsIs(path, busyMs);
  // The held connection works in rollback-journal mode, as every connection of the update does.
  connection.Exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
  connection.Exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
  return connection;
}

Connection Connection::CreateThrowawayCopy(const QString& path) {
  Connection connection = Create(path);
  connection.Exec(QStringLiteral("PRAGMA synchronous=OFF"));
  connection.Exec(QStringLiteral("PRAGMA journal_mode=OFF"));
  return connection;
}

Connection Connection::CreateKeptCopy(const QString& path) {
  Connection connection = Create(path);
  connection.Exec(QStringLiteral("PRAGMA synchronous=FULL"));
  return connection;
}

void Connection::SetCacheSize(int kib) {
  Exec(QStringLiteral("PRAGMA cache_size=-%1").arg(kib));
}

void Connection::SetTempCacheSize(int kib) {
  Exec(QStringLiteral("PRAGMA temp.cache_size=-%1").arg(kib));
}

int64_t Connection::CacheSizeKiB() {
  Statement size(db_, QStringLiteral("SELECT (SELECT cache_size FROM pragma_cache_size), "
                                     "(SELECT page_size FROM pragma_page_size)"));
  if (!size.Step()) return 0;
  const int64_t cache = size.ColumnInt(0);
  return cache < 0 ? -cache : cache * size.ColumnInt(1) / 1024;
}

int64_t Connection::SizeKiB() {
  Statement size(db_, QStringLiteral("SELECT (SELECT page_count FROM pragma_page_count), "
                                     "(SELECT page_size FROM pragma_page_size)"));
  return size.Step() ? size.ColumnInt(0) * size.ColumnInt(1) / 1024 : 0;
}

void SortWithHelperThread(Connection& connection) {
  connection.Exec(QStringLiteral("PRAGMA threads=1"));
}

// ---- Transaction ----

Transaction::Transaction(Connection& connection, OnProgramEnd onEnd)
    : connection_(&connection), onEnd_(onEnd), unwinding_(std::uncaught_exceptions()) {
  // Inside a transaction that is already open, this one is part of it and leaves the ending to it.
  if (!sqlite3_get_autocommit(connection_->Handle())) {
    open_ = false;
    return;
  }
  connection_->Exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::Transaction(Transaction&& other) noexcept
    : connection_(other.connection_), open_(other.open_), onEnd_(other.onEnd_), unwinding_(other.unwinding_) {
  other.open_ = false;
}

Transaction::~Transaction() {
  if (!open_) return;
  // The only exception that leaves a trapped step is the end of the program (the traps catch the others).
  const bool programEnds = std::uncaught_exceptions() > unwinding_;
  if (programEnds && onEnd_ == OnProgramEnd::Keep &&
      sqlite3_exec(connection_->Handle(), "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
    return;
  }
  sqlite3_exec(connection_->Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool Transaction::RolledBackBySqlite() const {
  return open_ && sqlite3_get_autocommit(connection_->Handle()) != 0;
}

void Transaction::Commit() {
  if (!open_) return;
  open_ = false;
  connection_->Exec(QStringLiteral("COMMIT"));
}

}  // namespace db
