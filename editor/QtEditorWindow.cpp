#include "editor/QtEditorWindow.h"

#include "editor/frm_Quorvel_Exe.h"

#include <QApplication>

int QtEditorWindow::Edit(Session& session) {
  gui_.Ensure();
  frm_Quorvel_Exe form(session);
  port_.SetParent(&form);
  form.RunHandler([&] { form.Form_Load(); });
  if (!form.EndStatus()) {
    form.show();
    QApplication::exec();
  }
  port_.SetParent(nullptr);
  return form.EndStatus().value_or(kExitOk);
}
