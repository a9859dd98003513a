#include "core/DocumentationSettings.h"

#include "core/FieldRules.h"
#include "framework/EditInfo.h"
#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/IniAccess.h"
#include "framework/Installation.h"
#include "framework/Text.h"

#include <algorithm>

namespace {

const QString kNetSection = QStringLiteral("NetAddress");

QString MachineSection(int machine) {
  return QStringLiteral("Machine") + QString::number(machine);
}
QString Numbered(const char* name, int number) {
  return QString::fromLatin1(name) + QString::number(number);
}

// Machines the editor handles: those with a slot. Machines beyond it are not shown, read, written or
// checked.
int HandledMachineCount(const ProjectContext& context) {
  return std::min<int>(static_cast<int>(context.project.machines.size()), kMachineSlots);
}

}  // namespace

QString DocumentationSettings::FilePath(const ProgramLocation& location) {
  return ExistingOrAsSpelled(location.ProgramFolder() + Sep() + QStringLiteral("Documentation_Customer.cfg"),
                             location.BaseFolder());
}

void DocumentationSettings::ReadMachine(ProjectContext& context, int machine) {
  if (!HasSlot(machine)) return;
  ErrorHandling& errors = context.errors;
  const QString file = FilePath(context.location);
  const QString section = MachineSection(machine);
  machineLoaded_[machine - 1] = true;
  for (int key = 1; key <= kKeyCount; ++key) {
    Reference(machine, key) = LoadIniString(errors, section, Numbered("Reference", key), file);
    Symbol(machine, key) = LoadIniString(errors, section, Numbered("Symbol", key), file);
  }
}

void DocumentationSettings::ReadNetAddress(ProjectContext& context, int netAddress) {
  ErrorHandling& errors = context.errors;
  const QString file = FilePath(context.location);
  netLoaded_[netAddress - 1] = true;
  NetUser(netAddress) = LoadIniString(errors, kNetSection, Numbered("User", netAddress), file);
  NetPassword(netAddress) = LoadIniString(errors, kNetSection, Numbered("Password", netAddress), file);
  NetAddress(netAddress) = LoadIniString(errors, kNetSection, Numbered("NetAddress", netAddress), file);
  NetDrive(netAddress) = LoadIniString(errors, kNetSection, Numbered("NetDrive", netAddress), file);
  if (NetDrive(netAddress).isEmpty()) NetDrive(netAddress) = DefaultDrive(netAddress);
}

void DocumentationSettings::Write(ProjectContext& context) const {
  Trap trap(context.errors, QStringLiteral("WriteInputs"));
  // Nothing is written once the CFG file is gone: its absence ends the program here.
  trap.Run([&] { GetCFGPath(context); });
  QString programIni;
  trap.Run([&] { programIni = GetProgramIniPath(context, 2); });
  const QString file = FilePath(context.location);

  // Every entry goes to the file in one rewrite: a run stopped midway leaves the file as it was or with
  // all entries, and a write that fails is reported once for the file, not once per entry.
  std::vector<IniWrite> writes;
  auto save = [&](const QString& value, const QString& section, const QString& entry) {
    writes.push_back({IniValue{value}, section, entry});
  };

  for (int machine = 1; machine <= HandledMachineCount(context); ++machine) {
    if (!context.MachineTakesPart(machine)) continue;
    if (!MachineLoaded(machine)) continue;
    const QString section = MachineSection(machine);
    for (int key = 1; key <= kKeyCount; ++key) {
      save(Reference(machine, key), section, Numbered("Reference", key));
      save(Symbol(machine, key), section, Numbered("Symbol", key));
    }
  }

  bool withDocumentation = false;
  for (int netAddress = 1; netAddress <= kNetAddressCount; ++netAddress) {
    if (!NetAddress(netAddress).isEmpty()) withDocumentation = true;
    if (!NetAddressLoaded(netAddress)) continue;
    save(NetUser(netAddress), kNetSection, Numbered("User", netAddress));
    save(NetPassword(netAddress), kNetSection, Numbered("Password", netAddress));
    save(NetAddress(netAddress), kNetSection, Numbered("NetAddress", netAddress));
    save(NetDrive(netAddress), kNetSection, Numbered("NetDrive", netAddress));
  }
  trap.Run([&] {
    QString failure;
    if (SaveIniEntries(context.errors, writes, file, &failure) == 0) {
      Raise(kErrFileAccess, AccessFailure(file, failure));
    }
  });

  // Without a program INI there is no file to hold the flag.
  if (!programIni.isEmpty()) {
    trap.Run([&] {
      QString failure;
      if (SaveIni(context.errors, IniValue{withDocumentation}, QStringLiteral("Project"),
                  QStringLiteral("WithDocumentation"), programIni, &failure) == 0) {
        Raise(kErrFileAccess, AccessFailure(programIni, failure));
      }
    });
  }
  trap.Run([&] { WriteEditInfo(context); });
}

int DocumentationSettings::MachineOfTab(int position) const {
  if (position < 1 || position > static_cast<int>(tabMachines_.size())) return 0;
  return tabMachines_[position - 1];
}

int DocumentationSettings::TabOfMachine(int machine) const {
  const auto found = std::find(tabMachines_.begin(), tabMachines_.end(), machine);
  return found == tabMachines_.end() ? 0 : static_cast<int>(found - tabMachines_.begin()) + 1;
}

std::optional<NetAddressFault> DocumentationSettings::FindNetAddressFault(
    const ProjectContext& context, const QString& documentCaption, const QString& symbolCaption,
    const std::array<QString, kNetAddressCount>& driveTexts, const WindowMessages& messages,
    std::vector<int>& trimmed) {
  auto covered = [&](const QString& path) {
    const QString upper = UCase(path);
    for (const QString& address : netAddresses_) {
      if (address.size() > 2 && upper.startsWith(UCase(address))) return true;
    }
    return false;
  };
  // The first key whose path lies on a share no net address covers, 0 for none.
  auto uncovered = [&](int machine, NetAddressFault::Field column) -> int {
    for (int key = 1; key <= kKeyCount; ++key) {
      const QString& value =
          column == NetAddressFault::Field::Symbol ? Symbol(machine, key) : Reference(machine, key);
      if (IsUncPath(value) && !covered(value)) return key;
    }
    return 0;
  };
  auto fault = [&](int machine, int key, NetAddressFault::Field field, const QString& caption) {
    return NetAddressFault{
        messages.noNetAddress.arg(context.ExistingMachine(machine), QString::number(key), caption), field,
        machine, key};
  };

  for (int machine = 1; machine <= HandledMachineCount(context); ++machine) {
    if (int key = uncovered(machine, NetAddressFault::Field::Document)) {
      return fault(machine, key, NetAddressFault::Field::Document, documentCaption);
    }
    if (int key = uncovered(machine, NetAddressFault::Field::Symbol)) {
      return fault(machine, key, NetAddressFault::Field::Symbol, symbolCaption);
    }
  }

  for (int n = 1; n <= kNetAddressCount; ++n) {
    for (int j = n + 1; j <= kNetAddressCount; ++j) {
      if (!driveTexts[n - 1].isEmpty() && driveTexts[n - 1] == driveTexts[j - 1]) {
        return NetAddressFault{messages.doubleDrive.arg(QString::number(n), QString::number(j)),
                               NetAddressFault::Field::Drive, 0, j};
      }
    }
    QString& address = NetAddress(n);
    if (address.size() > 3 && EndsInSeparator(address)) {
      address.chop(1);
      trimmed.push_back(n);
    }
  }
  return std::nullopt;
}

void DocumentationSettings::KeepNetAddressFolders() {
  for (QString& address : netAddresses_) address = NetAddressFolder(address);
}
