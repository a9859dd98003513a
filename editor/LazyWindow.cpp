#include "editor/LazyWindow.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "texts/Language.h"

#include <cstdio>

LazyWindow::LazyWindow(int& argc, char** argv, const ProgramLocation& location)
    : argc_(argc),
      argv_(argv),
      location_(location),
      library_(location.ProgramFolder() + Sep() + QString::fromLatin1(kWindowModuleName)) {}

// The module stays loaded: Qt's own objects may still refer to its code until the process ends.
LazyWindow::~LazyWindow() = default;

WindowModule& LazyWindow::Module() {
  if (module_) return *module_;
  const auto create = reinterpret_cast<CreateWindowModuleFunction>(library_.resolve(kCreateWindowModule));
  if (!create) {
    std::fprintf(stderr, "%s: the window cannot be shown: %s\n", qPrintable(location_.ExecutableName()),
                 qPrintable(library_.errorString()));
    EndProgram(kExitError);
  }
  module_.reset(create(&argc_, argv_, location_.ExecutableName().toUtf8().constData(),
                       location_.BaseFolder().toUtf8().constData(),
                       ReadLanguage(LanguageIniPath(location_)).toUtf8().constData()));
  return *module_;
}

void LazyWindow::ProcessEvents() {
  if (module_) module_->Port().ProcessEvents();
}

void LazyWindow::SetBusy(bool busy) {
  if (module_) module_->Port().SetBusy(busy);
}
