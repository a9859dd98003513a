#pragma once
// The small database layer of the preset update, over SQLite's C API. Every operation opens its own
// connection (RAII) and closes it before the procedure returns; failures become AppError with SQLite's
// extended result code, source "SQLite" and SQLite's message. The program is single-threaded and never
// shares a connection between threads, so connections are opened without SQLite's mutexes.

#include "presets/SqlText.h"
#include "presets/TextFolding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// Name of the case-insensitive Unicode collation registered on every connection. Queries use it
// explicitly ("= ?1 COLLATE UNICODE_NOCASE"); the schema never names it, so other programs can read
// the files.
inline constexpr const char* kNoCase = "UNICODE_NOCASE";

// One field value with its SQLite storage class. Text is kept as UTF-8 so values that are only copied
// never pay for a conversion.
struct Text {
  QByteArray utf8;
};
struct Blob {
  QByteArray bytes;
};
using Value = std::variant<std::monostate, int64_t, double, Text, Blob>;

inline bool IsNull(const Value& v) {
  return std::holds_alternative<std::monostate>(v);
}
inline bool IsText(const Value& v) {
  return std::holds_alternative<Text>(v);
}
Value TextValue(const QString& text);
QString ToQString(const Value& v);  // Null gives the empty text; numbers their decimal text
// The value as a number: integers and reals as they are, text when it reads as a number.
std::optional<double> ToNumber(const Value& v);

class Statement {
 public:
  Statement(sqlite3* db, const QString& sql);
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement& operator=(Statement&&) = delete;

  void Bind(int index, const Value& value);  // index from 1
  void BindText(int index, const QString& text);
  void BindInt(int index, int64_t value);
  // Binds the current value of a column of another statement, without copying it out first.
  void BindColumn(int index, const Statement& from, int column);
  // The same without any copy: the value stays where the other statement holds it, so this statement
  // must be run before the other one moves on.
  void BindColumnStatic(int index, const Statement& from, int column);
  // Binds UTF-8 text without a copy: the bytes must stay unchanged until this statement has run.
  void BindStatic(int index, QByteArrayView utf8);
  // True while a row is available.
  bool Step();
  // Ready to run again; the bindings stay until they are bound anew.
  void Reset();

  int ColumnCount() const;
  QString ColumnName(int i) const;
  QString ColumnDeclaredType(int i) const;
  Value Column(int i) const;
  int64_t ColumnInt(int i) const;
  QString ColumnText(int i) const;
  bool ColumnIsText(int i) const;
  // The text of a column as UTF-8, valid until the statement moves on.
  QByteArrayView ColumnUtf8(int i) const;
  bool ColumnIsNull(int i) const;
  int ColumnType(int i) const;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL
  double ColumnDouble(int i) const;

 private:
  [[noreturn]] void Fail() const;
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

class Connection {
 public:
  // Opens an existing database read-write (never creates one), journal mode DELETE.
  static Connection Open(const QString& path);
  // Creates a fresh database file (an existing file is replaced); for tools and tests.
  static Connection Create(const QString& path);
  // Opens an existing database read-write as it is (no journal mode is set), waiting up to busyMs for
  // the locks of other programs; for taking a lock on a file another program may use.
  static Connection OpenAsIs(const QString& path, int busyMs);
  // Opens the update's working copy of a project database: it is thrown away after the update (also
  // after a crash), so its writes need not wait for the disk, and its sorts may use a helper thread.
  static Connection OpenWorkingCopy(const QString& path);
  // Creates a fresh database file that a script fills (demo databases, tests, the benchmark): a file made
  // from scratch needs no sync after every statement.
  static Connection CreateForScript(const QString& path);
  // Opens the project database to hold it (see ProjectDatabaseHold), waiting up to busyMs for other
  // programs: a log another program left is taken into the file (journal mode DELETE), and every lock
  // the connection takes is kept until it is closed (exclusive locking mode).
  static Connection OpenToHold(const QString& path, int busyMs);
  // Opens a database to hold its write lock while the project database is replaced as a file, waiting up
  // to busyMs for other programs; nothing else is set.
  static Connection OpenLockHolder(const QString& path, int busyMs) { return OpenAsIs(path, busyMs); }
  // Creates the target of a backup of the project database (an existing file is replaced). A throwaway
  // copy (the working copy) is written without syncs and without a journal; a kept one (the previous
  // database) is synced to the disk as it is written.
  static Connection CreateThrowawayCopy(const QString& path);
  static Connection CreateKeptCopy(const QString& path);
  ~Connection();
  Connection(Connection&& other) noexcept;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  Connection& operator=(Connection&&) = delete;

  void Exec(const QString& sql);
  // The page cache of the main database and of the temporary tables, in KiB.
  void SetCacheSize(int kib);
  void SetTempCacheSize(int kib);
  // The page cache of the main database in KiB, as it is set.
  int64_t CacheSizeKiB();
  // The size of the main database (all its pages) in KiB.
  int64_t SizeKiB();
  // The number of rows the last INSERT, UPDATE or DELETE changed.
  int64_t Changes() const;
  Statement Prepare(const QString& sql) { return Statement(db_, sql); }

  // The table's name as stored, found without regard to case; nullopt when there is none.
  std::optional<QString> FindTable(const QString& name);
  // The table's fields in ordinal order, with their declared types.
  std::vector<FieldDef> Fields(const QString& table);

  sqlite3* Handle() const { return db_; }

 private:
  explicit Connection(sqlite3* db) : db_(db) {}
  static Connection OpenWith(const QString& path, int flags);
  sqlite3* db_;
};

// One transaction. It ends with Commit(); a scope left without it rolls back what was written. Opened
// while another transaction is open, it joins that one and leaves the ending to it.
class Transaction {
 public:
  // What becomes of the writes when the program ends (EndProgram) while the transaction is open.
  enum class OnProgramEnd {
    RollBack,
    // They are kept, as the record-by-record saving of the original keeps the records saved so far.
    Keep,
  };
  explicit Transaction(Connection& connection, OnProgramEnd onEnd = OnProgramEnd::RollBack);
  ~Transaction();
  Transaction(Transaction&& other) noexcept;
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();
  // Whether SQLite has ended the transaction by itself, rolling it back after a failed write (a full
  // disk, an I/O error): nothing of it can be committed any more.
  bool RolledBackBySqlite() const;

 private:
  Connection* connection_;
  bool open_ = true;
  OnProgramEnd onEnd_;
  int unwinding_ = 0;  // exceptions in flight when it began: one more on leaving means the scope unwinds
};

// About how many records the table has: its highest row number, found at the end of the table, where a
// count would read every page of a large table. A table without row numbers is counted.
int64_t ApproximateRecordCount(Connection& connection, const QString& table);

// The fields that tell the rows of a table apart, in the order the table keeps its rows: its row number
// (rowid, or _rowid_ or oid when a field has that name), or the fields of the primary key of a table
// without row numbers (WITHOUT ROWID). Raises when a table with row numbers has fields of all three names.
struct RowAddress {
  QStringList fields;     // quoted, ready for a query
  bool rowNumber = true;  // the one field is the row number
  QString List() const { return fields.join(QLatin1Char(',')); }
};
RowAddress RowAddressOf(Connection& connection, const QString& table);

// Lets SQLite sort with one helper thread: a sort larger than the connection's cache is written out in
// pieces, and the helper sorts and writes one while the connection reads the next (the machines have
// two cores). Each piece in work takes memory of the cache's size, so only connections with a small
// cache use it.
void SortWithHelperThread(Connection& connection);

// The error of the connection's last failing call.
[[noreturn]] void ThrowSqliteError(sqlite3* db);

}  // namespace db
