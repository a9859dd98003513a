#include "editor/QtEditorWindow.h"

#include "editor/frm_Quorvel_Exe.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>

#include <cstdio>

namespace {

// With QVZ_REPORT_FIRST_PAINT set, the moment the window first paints (any of its widgets) goes to standard
// error in milliseconds since 1970, so a script can time the start-up from outside: tools/first-paint.sh.
class FirstPaintReport : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      std::fprintf(stderr, "first paint %lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
      std::fflush(stderr);
      QCoreApplication::instance()->removeEventFilter(this);
    }
    return false;
  }
};

}  // namespace

int QtEditorWindow::Edit(Session& session) {
  gui_.Ensure();
  frm_Quorvel_Exe form(session);
  FirstPaintReport firstPaint;
  if (qEnvironmentVariableIsSet("QVZ_REPORT_FIRST_PAINT"))
    QCoreApplication::instance()->installEventFilter(&firstPaint);
  port_.SetParent(&form);
  form.RunHandler([&] { form.Form_Load(); });
  if (!form.EndStatus()) {
    form.show();
    QApplication::exec();
  }
  port_.SetParent(nullptr);
  return form.EndStatus().value_or(kExitOk);
}
