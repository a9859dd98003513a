#include "tests/editor/EditorFixture.h"

#include "core/RunProgram.h"

#include <QApplication>
#include <QTest>

std::optional<int> EditorTest::Load(const QString& commandLine) {
  form.reset();
  context = install.Context(*userPort, commandLine);
  session = std::make_unique<Session>(*context);
  if (const std::optional<int> end = EndStatusOf([&] {
        StartUp(*session);
        if (!ShowsWindow(*session)) CloseWithoutWindow(*session);
      })) {
    return end;
  }
  form = std::make_unique<frm_Quorvel_Exe>(*session);
  form->RunHandler([this] { form->Form_Load(); });
  if (!form->EndStatus()) form->show();
  return form->EndStatus();
}

std::optional<int> EditorTest::Run(const std::function<void()>& handler) {
  form->RunHandler(handler);
  return form->EndStatus();
}

void EditorTest::Activate() {
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
}

QWidget* EditorTest::Focused() {
  return QApplication::focusWidget();
}

void LeaveEndedEventLoops() {
  // exit(), not quit(): quit() would try to close every window first.
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}
