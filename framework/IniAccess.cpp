#include "framework/IniAccess.h"

#include "framework/ErrorTrap.h"
#include "framework/Profile.h"
#include "framework/Text.h"

#include <QLocale>

#include <optional>

namespace {

// The read buffer holds 255 characters including the terminating zero.
constexpr int kReadBufferSize = kIniReadLimit + 1;

// Reads a text entry; the default of 255 blanks makes a missing entry read as empty.
QString ReadEntry(const QString& section, const QString& entry, const QString& file) {
  QString value;
  const int count = profile::GetString(section, entry, QString(255, u' '), value, kReadBufferSize, file);
  return value.left(static_cast<int16_t>(count));
}

// The text SaveIni writes for a value, or nullopt for a kind an INI file cannot hold.
std::optional<QString> IniText(ErrorHandling& errors, const IniValue& value) {
  struct Visitor {
    ErrorHandling& errors;
    std::optional<QString> operator()(int16_t v) const { return QString::number(v); }
    std::optional<QString> operator()(int32_t v) const { return QString::number(v); }
    std::optional<QString> operator()(uint8_t v) const { return QString::number(v); }
    std::optional<QString> operator()(float v) const { return QLocale::c().toString(double(v), 'g', 7); }
    std::optional<QString> operator()(double v) const { return NumberText(v); }
    std::optional<QString> operator()(const QString& v) const { return v; }
    std::optional<QString> operator()(bool v) const {
      return v ? QStringLiteral("true") : QStringLiteral("false");
    }
    std::optional<QString> operator()(const UnsupportedValue&) const {
      errors.ReportFault(QStringLiteral("Ini Save:  wrong data type"));
      return std::nullopt;
    }
  };
  return std::visit(Visitor{errors}, value);
}

// The result SaveIni gives for a write: 1 on success, else 0 with the reason handed to the caller.
int16_t Outcome(const FileResult& written, QString* failure) {
  if (written.ok) return 1;
  if (failure) *failure = written.reason;
  return 0;
}

}  // namespace

QString AccessFailure(const QString& file, const QString& failure) {
  return QStringLiteral("Path/File access error: ") + (failure.isEmpty() ? file : failure);
}

QString NotFoundReport(const QString& file, const QString& section, const QString& entry) {
  return QStringLiteral("File '") + file + QStringLiteral("' or Section [") + section +
         QStringLiteral("] or Entry '") + entry + QStringLiteral("' not found");
}

QString LoadIniString(ErrorHandling& errors, const QString& section, const QString& entry,
                      const QString& file, bool reportMissing) {
  Trap trap(errors, QStringLiteral("LoadIniString"));
  QString value;
  trap.Run([&] { value = ReadEntry(section, entry, file); });
  if (value.isEmpty() && reportMissing) {
    trap.Run([&] { errors.ReportFault(NotFoundReport(file, section, entry)); });
  }
  return value;
}

int16_t LoadIniInteger(ErrorHandling& errors, const QString& section, const QString& entry,
                       const QString& file, bool reportMissing) {
  Trap trap(errors, QStringLiteral("LoadIniInteger"));
  int16_t value = 0;
  trap.Run([&] {
    const auto number = static_cast<int32_t>(profile::GetInt(section, entry, -1, file));
    if (number < -32768 || number > 32767) Raise(kErrOverflow, QStringLiteral("Overflow"));
    value = static_cast<int16_t>(number);
  });
  if (value == -1 && reportMissing) {
    trap.Run([&] { errors.ReportFault(NotFoundReport(file, section, entry)); });
  }
  return value;
}

bool LoadIniBoolean(ErrorHandling& errors, const QString& section, const QString& entry, const QString& file,
                    bool reportMissing) {
  Trap trap(errors, QStringLiteral("LoadIniBoolean"));
  QString upper;
  trap.Run([&] { upper = UCase(ReadEntry(section, entry, file)); });
  const bool wellFormed = upper == QStringLiteral("TRUE") || upper == QStringLiteral("FALSE");
  if ((!wellFormed || upper.isEmpty()) && reportMissing) {
    trap.Run([&] { errors.ReportFault(NotFoundReport(file, section, entry)); });
  }
  return upper == QStringLiteral("TRUE");
}

int16_t SaveIniEntries(ErrorHandling& errors, const std::vector<IniWrite>& writes, const QString& file,
                       QString* failure) {
  Trap trap(errors, QStringLiteral("SaveIni"));
  std::vector<profile::EntryWrite> entries;
  entries.reserve(writes.size());
  for (const IniWrite& write : writes) {
    std::optional<QString> text;
    trap.Run([&] { text = IniText(errors, write.value); });
    entries.push_back({write.section, write.entry, text});
  }
  // A dry run changes no file of the installation: what would be written is left out.
  if (errors.Mode().dryRun) return 1;
  int16_t result = 0;
  trap.Run([&] { result = Outcome(profile::WriteStrings(entries, file), failure); });
  return result;
}

int16_t SaveIni(ErrorHandling& errors, const IniValue& value, const QString& section, const QString& entry,
                const QString& file, QString* failure) {
  Trap trap(errors, QStringLiteral("SaveIni"));
  std::optional<QString> text;
  trap.Run([&] { text = IniText(errors, value); });
  if (errors.Mode().dryRun) return 1;  // as SaveIniEntries
  int16_t result = 0;
  trap.Run([&] { result = Outcome(profile::WriteString(section, entry, text, file), failure); });
  return result;
}
