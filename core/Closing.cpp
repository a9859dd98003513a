#include "core/Closing.h"

#include "framework/ErrorTrap.h"
#include "presets/WorkOnMdb.h"

NetAddressView LoadedView(const Session& session) {
  NetAddressView view;
  view.documentCaption = session.settings.TabMachine.empty() ? kNetAddressCaption : kDocumentCaption;
  view.symbolCaption = session.CaptionOf(QStringLiteral("LabelSymbolHeader"));
  view.driveTexts = session.settings.NetDrives;
  return view;
}

bool CheckNetAddresses(Session& session, const NetAddressView& view, std::vector<int>* trimmed) {
  std::vector<int> trimmedHere;
  const std::optional<QString> fault = session.settings.NetAddressFault(
      session.context, view.documentCaption, view.symbolCaption, view.driveTexts, trimmedHere);
  if (trimmed) *trimmed = std::move(trimmedHere);
  if (!fault) return true;
  if (session.context.mode.silent) {
    session.context.errors.WriteServiceLog(*fault);
  } else {
    session.context.port.ShowMessage(*fault);
  }
  return false;
}

bool CommandOK_Click(Session& session, const NetAddressView& view) {
  Trap trap(session.context.errors, QStringLiteral("CommandOK_Click"));
  // A check that fails with an error counts as passed: the editor closes.
  bool passed = true;
  trap.Run([&] { passed = CheckNetAddresses(session, view); });
  if (!passed && session.context.mode.silent) EndProgram(kExitError);
  return passed;
}

void CloseMe(Session& session) {
  ProjectContext& context = session.context;
  Trap trap(context.errors, QStringLiteral("CloseMe"));
  // From here on close requests, a second OK and field events are ignored.
  session.closing = true;
  trap.Run([&] { context.port.ProcessEvents(); });
  trap.Run([&] { context.port.SetBusy(true); });
  trap.Run([&] { WorkOnMDB(context); });
  trap.Run([&] { WriteInputs(session); });
  trap.Run([&] { context.port.SetBusy(false); });
  EndProgram(context.errors.ClosingStatus());
}

void WriteInputs(Session& session) {
  session.settings.Write(session.context);
}

void CommandCancel_Click(Session& session) {
  Trap trap(session.context.errors, QStringLiteral("CommandCancel_Click"));
  if (trap.If([&] { return session.context.errors.ConfirmCancel(); })) {
    EndProgram(session.context.errors.CancelStatus());
  }
}

bool Form_QueryUnload(Session& session) {
  Trap trap(session.context.errors, QStringLiteral("Form_QueryUnload"));
  if (trap.If([&] { return !session.context.errors.ConfirmCancel(); })) return true;
  EndProgram(session.context.errors.CancelStatus());
}
