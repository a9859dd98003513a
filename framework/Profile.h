#pragma once
// Our counterpart of the Windows private-profile functions, working on whole INI files.
// Each call opens, reads or rewrites and closes the file; nothing is held between calls.

#include "framework/SafeFile.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace profile {

// Reads an entry's value into out, cut to size - 1 characters; a missing entry gives the default with
// its trailing blanks stripped. Returns the number of characters in out.
int GetString(const QString& section, const QString& entry, const QString& defaultValue, QString& out,
              int size, const QString& file);

// Reads an entry as an integer the way the Windows function does (decimal, 0x hex, sign, digits up to
// the first other character; 0 for text). An empty or missing entry gives the default.
uint32_t GetInt(const QString& section, const QString& entry, int32_t defaultValue, const QString& file);

// Writes an entry (no value removes it), creating the file and section when missing. The file is
// rewritten atomically; line breaks inside the value become blanks. A failure (converting to false)
// carries its reason; the file is then as it was.
FileResult WriteString(const QString& section, const QString& entry, const std::optional<QString>& value,
                       const QString& file);

// One entry write: no value removes the entry.
struct EntryWrite {
  QString section;
  QString entry;
  std::optional<QString> value;
};

// Writes several entries, in order, with one atomic rewrite of the file: a run that is stopped midway
// leaves the file either as it was or with all of them. A file that exists but cannot be read (or is no
// regular file) is not replaced. A failure (converting to false) carries its reason.
FileResult WriteStrings(const std::vector<EntryWrite>& writes, const QString& file);

}  // namespace profile
