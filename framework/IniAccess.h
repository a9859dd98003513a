#pragma once
// The four INI functions through which the program reads and writes every INI file.

#include "framework/ErrorHandling.h"

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

// A value kind that cannot be written to an INI file (a date, currency, an object, ...).
struct UnsupportedValue {
  QString kind;
};

// The dynamically typed value handed to SaveIni.
using IniValue = std::variant<int16_t, int32_t, float, double, uint8_t, QString, bool, UnsupportedValue>;

// At most this many characters are read back from one entry.
inline constexpr int kIniReadLimit = 254;

QString LoadIniString(ErrorHandling& errors, const QString& section, const QString& entry,
                      const QString& file, bool reportMissing = false);
// 16-bit value, -1 when missing.
int16_t LoadIniInteger(ErrorHandling& errors, const QString& section, const QString& entry,
                       const QString& file, bool reportMissing = false);
bool LoadIniBoolean(ErrorHandling& errors, const QString& section, const QString& entry, const QString& file,
                    bool reportMissing = false);
// Returns non-zero on success and 0 when the write failed; failure then receives the reason (the file is
// left as it was).
int16_t SaveIni(ErrorHandling& errors, const IniValue& value, const QString& section, const QString& entry,
                const QString& file, QString* failure = nullptr);
// Text overload, so that string literals do not turn into Booleans.
inline int16_t SaveIni(ErrorHandling& errors, const char* value, const QString& section, const QString& entry,
                       const QString& file) {
  return SaveIni(errors, IniValue{QString::fromUtf8(value)}, section, entry, file);
}

// One entry for SaveIniEntries.
struct IniWrite {
  IniValue value;
  QString section;
  QString entry;
};
// Writes the entries as SaveIni would, in order, but with one rewrite of the file, so that a run
// stopped midway never leaves some of them written and others not. Non-zero on success, 0 on failure.
int16_t SaveIniEntries(ErrorHandling& errors, const std::vector<IniWrite>& writes, const QString& file,
                       QString* failure = nullptr);

// The description of a failed file write: "Path/File access error: " and the reason (or the file).
QString AccessFailure(const QString& file, const QString& failure);

// The not-found report text for one entry.
QString NotFoundReport(const QString& file, const QString& section, const QString& entry);
