#include "core/Session.h"

#include "core/FieldRules.h"
#include "core/FormControls.h"
#include "framework/ErrorTrap.h"
#include "framework/Installation.h"
#include "texts/Language.h"

#include <algorithm>

QString Session::CaptionOf(const QString& controlName) const {
  const int position = FormControlPosition(controlName);
  if (position < 0) return {};
  if (static_cast<size_t>(position) < texts.size() && texts[position].caption)
    return *texts[position].caption;
  return FormControls()[position].caption.value_or(QString());
}

void StartUp(Session& session) {
  ProjectContext& context = session.context;
  Trap trap(context.errors, QStringLiteral("Form_Load"));
  trap.Run([&] { session.HostIniPath = context.files.hostIni = GetQVZConfigurationIniPath(context); });
  trap.Run([&] { GetExistingMachines(context, session.HostIniPath); });
  trap.Run([&] { SetupUserInterFace(session); });
  // Only now is the language known; nothing before needs the title.
  const WindowTexts& texts = session.windowTexts;
  session.windowTitle = (context.mode.integrated ? texts.titleIntegrated : texts.titleStandalone)
                            .arg(GetFileNameOnly(context.location.ProgramFolder()));
}

void SetupUserInterFace(Session& session) {
  ProjectContext& context = session.context;
  DocumentationSettings& settings = session.settings;
  Trap trap(context.errors, QStringLiteral("SetupUserInterFace"));
  trap.Run([&] {
    std::vector<TextMessage> fixed = WindowMessageList();
    const size_t messageCount = fixed.size();
    for (TextMessage& text : WindowTextList()) fixed.push_back(std::move(text));
    LanguageTexts texts =
        LoadLanguageTexts(context.errors, LanguageIniPath(context.location), FormControls(), fixed);
    session.texts = std::move(texts.controls);
    const auto split =
        texts.messages.begin() + static_cast<std::ptrdiff_t>(std::min(messageCount, texts.messages.size()));
    session.messages = WindowMessagesFrom({texts.messages.begin(), split});
    session.windowTexts = WindowTextsFrom({split, texts.messages.end()});
  });
  ReadProjectConfiguration(context);
  settings.UseVWFD = context.project.useVWFD;

  const int machines = std::min<int>(static_cast<int>(context.project.machines.size()), kMachineSlots);
  for (int m = 1; m <= machines; ++m) {
    if (!context.MachineTakesPart(m) || !settings.UseVWFD) continue;
    settings.AddMachineTab(m);
    trap.Run([&] { settings.ReadMachine(context, m); });
  }
  if (!settings.UseVWFD) return;
  for (int i = 1; i <= kNetAddressCount; ++i) {
    trap.Run([&] { settings.ReadNetAddress(context, i); });
    // A net address names a folder, whatever the file holds.
    settings.NetAddress(i) = NetAddressFolder(settings.NetAddress(i));
    const DriveCheck check = CheckDrive(settings.NetDrive(i));
    if (check.fault && !context.mode.silent) context.port.ShowMessage(session.messages.driveFault);
    settings.NetDrive(i) = check.drive;
  }
}
