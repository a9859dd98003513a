#pragma once
// One run of the editor: the project, the settings being edited, the language texts of the window's
// controls and whether the closing sequence has begun. The start-up fills it without any widget; the
// window, when the run shows one, only shows and edits it.

#include "core/DocumentationSettings.h"
#include "core/WindowMessages.h"
#include "core/WindowTexts.h"
#include "framework/ProjectContext.h"
#include "texts/ToolTipTexts.h"

#include <QString>

#include <vector>

struct Session {
  explicit Session(ProjectContext& context_) : context(context_) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The language's caption of the control, else its design caption.
  QString CaptionOf(const QString& controlName) const;

  ProjectContext& context;
  QString windowTitle;
  QString HostIniPath;
  DocumentationSettings settings;
  std::vector<ControlTexts> texts;  // one per entry of FormControls()
  WindowMessages messages;
  WindowTexts windowTexts;
  bool closing = false;  // set when the closing sequence begins
};

// The start-up up to the point where the window would show: the host INI, the machine list,
// SetupUserInterFace and the title from the start mode, in the language SetupUserInterFace read.
void StartUp(Session& session);
// Language texts, messages and fixed texts, the project's configuration, the settings of every machine that
// takes part (its tab) and the net addresses with their drive check.
void SetupUserInterFace(Session& session);
