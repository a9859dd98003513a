#include "core/StorableValues.h"

#include "framework/Cp1252.h"
#include "framework/IniAccess.h"
#include "framework/TextFile.h"

#include <array>
#include <tuple>

namespace {

// Why the settings file cannot give value back, or nullopt when it can. A file in UTF-16LE holds every
// character.
std::optional<QString> Unstorable(const QString& value, bool unicodeFile) {
  if (value.size() > kIniReadLimit) {
    return QStringLiteral("more than ") + QString::number(kIniReadLimit) + QStringLiteral(" characters!");
  }
  if (unicodeFile) return std::nullopt;
  if (const std::optional<QString> character = FirstUnstorableCharacter(value)) {
    return QStringLiteral("the character '") + *character + QStringLiteral("' cannot be stored!");
  }
  return std::nullopt;
}

}  // namespace

std::optional<QString> FirstUnstorableCharacter(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      return text.mid(i, 2);
    }
    if (c != u'?' && Cp1252Code(c) == '?') return QString(c);
  }
  return std::nullopt;
}

std::optional<NetAddressFault> FindUnstorableValue(const ProjectContext& context,
                                                   const DocumentationSettings& settings,
                                                   const ColumnCaptions& captions) {
  using Field = NetAddressFault::Field;
  const std::optional<TextFileContent> file = ReadTextFile(DocumentationSettings::FilePath(context.location));
  const bool unicodeFile = file && file->encoding == TextEncoding::Utf16Le;
  for (const int16_t machine : settings.TabMachines()) {
    if (!settings.MachineLoaded(machine)) continue;
    for (int key = 1; key <= kKeyCount; ++key) {
      auto fault = [&](const QString& value, Field field,
                       const QString& caption) -> std::optional<NetAddressFault> {
        const std::optional<QString> why = Unstorable(value, unicodeFile);
        if (!why) return std::nullopt;
        return NetAddressFault{QStringLiteral("Fault in ") + context.ExistingMachine(machine) +
                                   QStringLiteral(" , Key ") + QString::number(key) + QStringLiteral(" , ") +
                                   caption + QStringLiteral(" : ") + *why,
                               field, machine, key};
      };
      if (auto found = fault(settings.Reference(machine, key), Field::Document, captions.document)) {
        return found;
      }
      if (auto found = fault(settings.Symbol(machine, key), Field::Symbol, captions.symbol)) return found;
    }
  }
  for (int n = 1; n <= kNetAddressCount; ++n) {
    if (!settings.NetAddressLoaded(n)) continue;
    const std::array<std::tuple<const QString&, Field, const QString&>, 3> fields{{
        {settings.NetAddress(n), Field::NetAddress, captions.netAddress},
        {settings.NetUser(n), Field::User, captions.user},
        {settings.NetPassword(n), Field::Password, captions.password},
    }};
    for (const auto& [value, field, caption] : fields) {
      if (const std::optional<QString> why = Unstorable(value, unicodeFile)) {
        return NetAddressFault{QStringLiteral("Fault in net address ") + QString::number(n) +
                                   QStringLiteral(" , ") + caption + QStringLiteral(" : ") + *why,
                               field, 0, n};
      }
    }
  }
  return std::nullopt;
}
