#pragma once
// The customer documentation settings (Documentation_Customer.cfg beside the executable) as the editor
// holds them while it runs: a document and a symbol for each of nine keys of up to five machines, and
// five net addresses with user, password and drive letter.

#include "core/WindowMessages.h"
#include "framework/ProjectContext.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

inline constexpr int kKeyCount = 9;         // keys 1 ... 9; key 0 stays empty, key 10 is unused
inline constexpr int kNetAddressCount = 5;  // net addresses 1 ... 5

using KeyTexts = std::array<QString, kKeyCount + 2>;

// A fault the checks of OK found: its text and the field the user has to correct.
struct NetAddressFault {
  enum class Field { Document, Symbol, Drive, NetAddress, User, Password };
  QString text;
  Field field = Field::Document;
  int machine = 0;  // document or symbol: the machine number
  // document or symbol: the key; drive: the second net address of the pair; net address, user,
  // password: the net address
  int row = 0;
};

class DocumentationSettings {
 public:
  // The settings file: program folder + "Documentation_Customer.cfg".
  static QString FilePath(const ProgramLocation& location);
  // True for machine numbers that have a slot in the model.
  static bool HasSlot(int machine) { return machine >= 1 && machine <= kMachineSlots; }

  // Reads the 18 entries of machine m (1 ... 5) into its slot.
  void ReadMachine(ProjectContext& context, int machine);
  // Reads net address i (1 ... 5); an empty drive takes its default T ... X.
  void ReadNetAddress(ProjectContext& context, int netAddress);
  // The closing write: settings file, "WithDocumentation", edit info. Slots never read are not
  // written, so the entries of a project that does not use the editor stay as they are.
  void Write(ProjectContext& context) const;

  // The machines that take part, in the order of their tabs (a machine tab per entry, then the net
  // address tab).
  const std::vector<int16_t>& TabMachines() const { return tabMachines_; }
  // Gives machine m (1 ... 5) the next tab.
  void AddMachineTab(int machine) { tabMachines_.push_back(static_cast<int16_t>(machine)); }
  // The machine number tab position k (from 1) shows; 0 for the net address tab, which is every
  // position after the machine tabs.
  int MachineOfTab(int position) const;
  // The tab position (from 1) that shows machine m; 0 when it has no tab.
  int TabOfMachine(int machine) const;
  bool MachineLoaded(int machine) const { return HasSlot(machine) && machineLoaded_[machine - 1]; }
  bool NetAddressLoaded(int netAddress) const { return netLoaded_[netAddress - 1]; }

  // The first fault of the net address check, or nullopt when every UNC document and symbol lies under
  // a configured net address and no two net addresses share a drive. driveTexts are the texts of the
  // five drive fields; messages give the fault's text. Trailing separators of the net addresses the check
  // reaches are removed; their numbers are added to trimmed.
  std::optional<NetAddressFault> FindNetAddressFault(const ProjectContext& context,
                                                     const QString& documentCaption,
                                                     const QString& symbolCaption,
                                                     const std::array<QString, kNetAddressCount>& driveTexts,
                                                     const WindowMessages& messages,
                                                     std::vector<int>& trimmed);
  // Editing of the net addresses has finished: each keeps only its folder (a file name is cut off).
  void KeepNetAddressFolders();

  // The values by the numbers the file and the window use: machine m (1 ... 5), key k (1 ... 9; key 0
  // is the always empty key before key 1), net address n (1 ... 5).
  QString& Reference(int m, int k) { return references_[m - 1][k]; }
  const QString& Reference(int m, int k) const { return references_[m - 1][k]; }
  QString& Symbol(int m, int k) { return symbols_[m - 1][k]; }
  const QString& Symbol(int m, int k) const { return symbols_[m - 1][k]; }
  QString& NetUser(int n) { return netUsers_[n - 1]; }
  const QString& NetUser(int n) const { return netUsers_[n - 1]; }
  QString& NetPassword(int n) { return netPasswords_[n - 1]; }
  const QString& NetPassword(int n) const { return netPasswords_[n - 1]; }
  QString& NetAddress(int n) { return netAddresses_[n - 1]; }
  const QString& NetAddress(int n) const { return netAddresses_[n - 1]; }
  QString& NetDrive(int n) { return netDrives_[n - 1]; }
  const QString& NetDrive(int n) const { return netDrives_[n - 1]; }
  // The five drives in the order of the net addresses, as the drive fields show them.
  const std::array<QString, kNetAddressCount>& NetDrives() const { return netDrives_; }

  // [Project] VWFD of the program INI: whether the project uses the editor at all.
  bool UseVWFD = false;

 private:
  // Slot m - 1, key k.
  std::array<KeyTexts, kMachineSlots> references_;
  std::array<KeyTexts, kMachineSlots> symbols_;
  // Slot n - 1.
  std::array<QString, kNetAddressCount> netUsers_;
  std::array<QString, kNetAddressCount> netPasswords_;
  std::array<QString, kNetAddressCount> netAddresses_;
  std::array<QString, kNetAddressCount> netDrives_;
  // Slot k - 1: the machine shown by tab k.
  std::vector<int16_t> tabMachines_;
  std::array<bool, kMachineSlots> machineLoaded_{};
  std::array<bool, kNetAddressCount> netLoaded_{};
};
