// The entry point of the window module: the Qt GUI application, the Qt dialogs and the window.

#include "editor/WindowModule.h"

#include "editor/GuiApplication.h"
#include "editor/QtEditorWindow.h"
#include "editor/QtUserPort.h"

#include <QtGlobal>

namespace {

class QtWindowModule : public WindowModule {
 public:
  QtWindowModule(int& argc, char** argv, const QString& programName, const QString& startFolder,
                 const QString& language)
      : gui_(argc, argv, programName), port_(gui_, programName, false), window_(gui_, port_) {
    port_.SetStartFolder(startFolder);
    gui_.SetLanguage(language);
  }
  UserPort& Port() override { return port_; }
  EditorWindow& Window() override { return window_; }

 private:
  GuiApplication gui_;
  QtUserPort port_;
  QtEditorWindow window_;
};

}  // namespace

extern "C" Q_DECL_EXPORT WindowModule* CreateWindowModule(int* argc, char** argv, const char* programName,
                                                          const char* startFolder, const char* language) {
  return new QtWindowModule(*argc, argv, QString::fromUtf8(programName), QString::fromUtf8(startFolder),
                            QString::fromUtf8(language));
}
