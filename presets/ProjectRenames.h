#pragma once
// Renames in PRESET_DEFS of the project database that keep the old values findable by the takeover:
// variable names of the other VisiWin system, and the old category field.

#include "framework/ErrorTrap.h"
#include "presets/Database.h"
#include "presets/UpdateRun.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// These work on the working copy of the project database (a path); without one (empty) they do
// nothing.

// Renames every record whose var_name (without regard to case) is the other system's name of a variable
// to the active system's name: name0 is the VisiWin32 name, name1 the VisiWin Studio name.
void VarNameInQuelleErsetzen(UpdateRun& run, const QString& workingCopy, const QString& name0,
                             const QString& name1);

// Which name hashes a set of names may hold: a bit per hash (a Bloom filter with one hash function), so a
// name that is surely not in the set is known without a search. At least 16 bits per expected name, so
// about one name in sixteen that is not in the set is taken to be; from 8 KiB up to 2 MiB (a million
// names and more), so a small project does not pay for a large one's table.
class NameFilter {
 public:
  explicit NameFilter(int64_t expectedNames) : shift_(64 - BitsFor(expectedNames)) {
    bits_.assign(size_t{1} << (BitsFor(expectedNames) - 6), 0);
  }
  void Add(uint64_t hash) { bits_[Bit(hash) / 64] |= uint64_t{1} << (Bit(hash) % 64); }
  bool MayHold(uint64_t hash) const { return (bits_[Bit(hash) / 64] >> (Bit(hash) % 64)) & 1; }

 private:
  // The power of two of the number of bits.
  static int BitsFor(int64_t expectedNames) {
    int bits = 16;
    while (bits < 24 && (int64_t{1} << bits) < expectedNames * 16) ++bits;
    return bits;
  }
  uint64_t Bit(uint64_t hash) const { return hash >> shift_; }
  int shift_;
  std::vector<uint64_t> bits_;
};

// The renames the generation asks for, one per generated variable name, in the order it asks for them.
// They are kept in a temporary table of a connection to the working copy (not in memory, however many
// there are). A failure to keep them is reported when they are applied, where the renames report theirs.
class RenameCalls {
 public:
  // expectedCalls sizes the filter of the calls' old names: the number of template records. Without a
  // working copy the calls are only counted.
  RenameCalls(const QString& workingCopy, int16_t visiWinSystemIndex, int64_t expectedCalls);
  RenameCalls(RenameCalls&&) = default;
  // The rename of the other system's name to the active system's name: name0 is the VisiWin32 name,
  // name1 the VisiWin Studio name (UTF-8).
  void Add(QByteArrayView name0, QByteArrayView name1);
  int64_t Count() const { return count_; }

 private:
  friend struct RenameWork;
  bool studio_ = false;
  std::unique_ptr<db::Connection> project_;  // stays where it is when the calls are handed on
  std::optional<db::Transaction> transaction_;
  std::optional<db::Statement> insert_;
  std::optional<AppError> failure_;
  NameFilter oldNames_;
  std::optional<NameFilter> presentNames_;  // the names records may have; nullopt: not known
  int64_t count_ = 0;
  int64_t kept_ = 0;
};

// A record's rename that failed: the name it has and keeps, the name it was to get, and why.
struct RenameFailure {
  QString oldName;
  QString newName;
  AppError reason;
};

// What the renames did.
struct RenameResult {
  int64_t calls = 0;    // the renames the generation asked for
  int64_t renamed = 0;  // records written with a new name
  std::vector<RenameFailure> failures;
};

// The renames of all calls at once, written into the working copy, with the result of calling
// VarNameInQuelleErsetzen once per call in the given order, but on one connection and in one
// transaction; each record's rename succeeds or fails on its own. The calls are used up.
RenameResult VarNamesInQuelleErsetzen(UpdateRun& run, RenameCalls& calls);

// Renames an old field "Categorie" (any case) of PRESET_DEFS to "category_id".
void CategorieNachCategoryID(UpdateRun& run, const QString& workingCopy);
