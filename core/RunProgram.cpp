#include "core/RunProgram.h"

#include "core/Closing.h"
#include "framework/ErrorTrap.h"

#include <cstdio>

bool ShowsWindow(const Session& session) {
  return session.settings.UseVWFD && !session.context.mode.silent;
}

void CloseWithoutWindow(Session& session) {
  Trap trap(session.context.errors, QStringLiteral("Form_Load"));
  if (session.context.mode.silent) {
    trap.Run([&] {
      if (CommandOK_Click(session, LoadedView(session))) CloseMe(session);
    });
  }
  trap.Run([&] { CloseMe(session); });
  EndProgram(session.context.errors.ClosingStatus());
}

int RunProgram(ProjectContext& context, EditorWindow& window) {
  try {
    Session session(context);
    StartUp(session);
    if (ShowsWindow(session)) return window.Edit(session);
    CloseWithoutWindow(session);
  } catch (const ProgramEnd& end) {
    return end.status;
  } catch (const std::exception& e) {
    // The steps that can fail run through traps, so this is a fault of the program itself.
    std::fprintf(stderr, "%s: unhandled error: %s\n", qPrintable(context.location.ExecutableName()),
                 e.what());
    return kExitError;
  }
}
