#include "core/Session.h"

#include "core/FieldRules.h"
#include "core/FormControls.h"
#include "framework/ErrorTrap.h"
#include "framework/Installation.h"
#include "texts/Language.h"

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
  session.windowTitle =
      QStringLiteral("Erweiterte Konfiguration ") + GetFileNameOnly(context.location.ProgramFolder()) +
      (context.mode.integrated ? QStringLiteral(" - integriert") : QStringLiteral(" - standalone"));
  trap.Run([&] { session.HostIniPath = context.files.hostIni = GetQVZConfigurationIniPath(context); });
  trap.Run([&] { GetExistingMachines(context, session.HostIniPath); });
  trap.Run([&] { SetupUserInterFace(session); });
}

void SetupUserInterFace(Session& session) {
  ProjectContext& context = session.context;
  DocumentationSettings& settings = session.settings;
  Trap trap(context.errors, QStringLiteral("SetupUserInterFace"));
  trap.Run([&] {
    LanguageTexts texts = LoadLanguageTexts(context.errors, LanguageIniPath(context.location), FormControls(),
                                            WindowMessageList());
    session.texts = std::move(texts.controls);
    session.messages = WindowMessagesFrom(texts.messages);
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
