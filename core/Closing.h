#pragma once
// The ways out of the editor: OK with its net address check and the closing sequence (database update,
// then the settings write), Cancel and the close request.

#include "core/Session.h"

#include <array>
#include <optional>

// What the window shows when OK is pressed: the column captions that fault texts name, and the texts
// of the five drive fields.
struct NetAddressView {
  QString documentCaption;
  QString symbolCaption;
  std::array<QString, kNetAddressCount> driveTexts;
};

// The view right after loading, as the window shows it on its first tab; a run without a window checks
// against it.
NetAddressView LoadedView(const Session& session);

// The net address check: every document and symbol on a share lies under a net address, and no two
// net addresses share a drive. A failure is shown (not in silent mode) and gives false; fault then
// gets what was found, so the window can show the field to correct.
bool CheckNetAddresses(Session& session, const NetAddressView& view,
                       std::optional<NetAddressFault>* fault = nullptr);

// The check that every value can be stored as it is: at most 254 characters, all of them characters of
// Windows-1252. A failure is shown (not in silent mode) and gives false, with the field in fault.
bool CheckStorableValues(Session& session, const NetAddressView& view,
                         std::optional<NetAddressFault>* fault = nullptr);

// The OK button: true when the closing sequence is to follow, false when the editor stays open. Editing
// has finished, so every net address first keeps only its folder. Values the settings file could not give
// back are refused before the net address check runs. In silent mode nobody could correct
// the entries: a failed check goes to the service log and ends the program with status 1, touching
// neither the database nor the settings.
bool CommandOK_Click(Session& session, const NetAddressView& view,
                     std::optional<NetAddressFault>* fault = nullptr);

// The closing sequence: database update, settings write, end of the program (status 0, or 1 when an
// error was handled during the run).
[[noreturn]] void CloseMe(Session& session);
// The settings file, "WithDocumentation" and the edit info.
void WriteInputs(Session& session);

// Cancel: when the user confirms, the program ends at once (status 2) without writing anything.
void CommandCancel_Click(Session& session);
// The window's close request: true when the window is to stay open; a confirmed cancel ends the program.
bool Form_QueryUnload(Session& session);
