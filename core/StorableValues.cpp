#include "core/StorableValues.h"

#include "framework/Cp1252.h"
#include "framework/IniAccess.h"
#include "framework/TextFile.h"

#include <array>
#include <tuple>

namespace {

// Why the settings file cannot give a value back.
struct Unstorable {
  bool tooLong = false;
  QString character;  // when it is not too long: the first character Windows-1252 cannot hold
};

// nullopt when the settings file gives the value back. A file in UTF-16LE holds every character.
std::optional<Unstorable> WhyUnstorable(const QString& value, bool unicodeFile) {
  if (value.size() > kIniReadLimit) return Unstorable{true, {}};
  if (unicodeFile) return std::nullopt;
  if (std::optional<QString> character = FirstUnstorableCharacter(value)) {
    return Unstorable{false, std::move(*character)};
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
                                                   const ColumnCaptions& captions,
                                                   const WindowMessages& messages) {
  using Field = NetAddressFault::Field;
  const std::optional<TextFileContent> file = ReadTextFile(DocumentationSettings::FilePath(context.location));
  const bool unicodeFile = file && file->encoding == TextEncoding::Utf16Le;
  for (const int16_t machine : settings.TabMachines()) {
    if (!settings.MachineLoaded(machine)) continue;
    for (int key = 1; key <= kKeyCount; ++key) {
      auto fault = [&](const QString& value, Field field,
                       const QString& caption) -> std::optional<NetAddressFault> {
        const std::optional<Unstorable> why = WhyUnstorable(value, unicodeFile);
        if (!why) return std::nullopt;
        const QString name = context.ExistingMachine(machine);
        const QString number = QString::number(key);
        return NetAddressFault{
            why->tooLong ? messages.keyValueTooLong.arg(name, number, caption)
                         : messages.keyCharacterNotStorable.arg(name, number, caption, why->character),
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
      if (const std::optional<Unstorable> why = WhyUnstorable(value, unicodeFile)) {
        const QString number = QString::number(n);
        return NetAddressFault{why->tooLong
                                   ? messages.netValueTooLong.arg(number, caption)
                                   : messages.netCharacterNotStorable.arg(number, caption, why->character),
                               field, 0, n};
      }
    }
  }
  return std::nullopt;
}
