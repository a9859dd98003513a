#include "core/Closing.h"

#include "core/StorableValues.h"

#include "framework/ErrorTrap.h"
#include "presets/WorkOnMdb.h"

#include <vector>

namespace {

// The service log of a silent run keeps the fixed English texts, which the host's tools and service
// engineers search for; the window speaks the language INI's language.
const WindowMessages& MessagesFor(const Session& session) {
  static const WindowMessages kFixed;
  return session.context.mode.silent ? kFixed : session.messages;
}
const WindowTexts& TextsFor(const Session& session) {
  static const WindowTexts kFixed;
  return session.context.mode.silent ? kFixed : session.windowTexts;
}

}  // namespace

NetAddressView LoadedView(const Session& session) {
  NetAddressView view;
  const WindowTexts& texts = TextsFor(session);
  view.documentCaption =
      session.settings.TabMachines().empty() ? texts.netAddressHeader : texts.documentHeader;
  view.symbolCaption = session.CaptionOf(QStringLiteral("LabelSymbolHeader"));
  view.driveTexts = session.settings.NetDrives();
  return view;
}

// A check's outcome: a fault goes to the service log in silent mode, to a message box otherwise.
static bool Passed(Session& session, const std::optional<NetAddressFault>& found,
                   std::optional<NetAddressFault>* fault) {
  if (fault) *fault = found;
  if (!found) return true;
  if (session.context.mode.silent) {
    session.context.errors.WriteServiceLog(found->text);
  } else {
    session.context.port.ShowMessage(found->text);
  }
  return false;
}

bool CheckNetAddresses(Session& session, const NetAddressView& view, std::optional<NetAddressFault>* fault) {
  std::vector<int> trimmed;
  const std::optional<NetAddressFault> found =
      session.settings.FindNetAddressFault(session.context, view.documentCaption, view.symbolCaption,
                                           view.driveTexts, MessagesFor(session), trimmed);
  return Passed(session, found, fault);
}

bool CheckStorableValues(Session& session, const NetAddressView& view,
                         std::optional<NetAddressFault>* fault) {
  const WindowTexts& texts = TextsFor(session);
  const ColumnCaptions captions{texts.documentHeader, view.symbolCaption, texts.netAddressHeader,
                                session.CaptionOf(QStringLiteral("LabelUserHeader")),
                                session.CaptionOf(QStringLiteral("LabelPasswordHeader"))};
  const std::optional<NetAddressFault> found =
      FindUnstorableValue(session.context, session.settings, captions, MessagesFor(session));
  return Passed(session, found, fault);
}

bool CommandOK_Click(Session& session, const NetAddressView& view, std::optional<NetAddressFault>* fault) {
  Trap trap(session.context.errors, QStringLiteral("CommandOK_Click"));
  session.settings.KeepNetAddressFolders();
  // A check that fails with an error counts as passed: the editor closes.
  bool passed = true;
  trap.Run([&] { passed = CheckStorableValues(session, view, fault); });
  if (passed) trap.Run([&] { passed = CheckNetAddresses(session, view, fault); });
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
