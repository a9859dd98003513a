#include "tests/e2e/XServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

namespace {

bool DisplayInUse(int n) {
  return QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) ||
         QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n));
}

}  // namespace

XServer::XServer() {
  const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
  if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
    failure_ = QStringLiteral("Xvfb or xdotool is not installed (tools/deps.sh installs both)");
    return;
  }
  // Displays from 90 on, spread by the process id, so that parallel test processes do not collide.
  for (int attempt = 0; attempt < 20 && display_.isEmpty(); ++attempt) {
    const int n = 90 + static_cast<int>((QCoreApplication::applicationPid() + attempt) % 400);
    if (DisplayInUse(n)) continue;
    auto server = std::make_unique<QProcess>();
    server->setProcessChannelMode(QProcess::MergedChannels);
    server->start(xvfb, {QStringLiteral(":%1").arg(n), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                         QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x1024x24")});
    if (!server->waitForStarted(5000)) continue;
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) && timer.elapsed() < 5000 &&
           server->state() == QProcess::Running) {
      QThread::msleep(20);
    }
    if (server->state() != QProcess::Running || !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) {
      failure_ = QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(server->readAll());
      server->kill();
      server->waitForFinished(2000);
      continue;
    }
    server_ = std::move(server);
    display_ = QStringLiteral(":%1").arg(n);
    failure_.clear();
  }
  if (display_.isEmpty() && failure_.isEmpty()) failure_ = QStringLiteral("no free X display");
}

XServer::~XServer() {
  if (!server_) return;
  server_->terminate();
  if (!server_->waitForFinished(3000)) {
    server_->kill();
    server_->waitForFinished(3000);
  }
}

QString XServer::Xdotool(const QStringList& arguments, int timeoutMs, bool* ok) const {
  QProcess tool;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display_);
  tool.setProcessEnvironment(env);
  tool.start(QStringLiteral("xdotool"), arguments);
  bool finished = tool.waitForStarted(5000) && tool.waitForFinished(timeoutMs);
  if (!finished) {
    tool.kill();
    tool.waitForFinished(2000);
  }
  if (ok) *ok = finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
  return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QString XServer::WaitForWindow(const QString& titlePattern, int timeoutMs, QProcess* process) const {
  QElapsedTimer timer;
  timer.start();
  do {
    bool ok = false;
    const QString ids = Xdotool(
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), titlePattern},
        5000, &ok);
    if (ok && !ids.isEmpty()) return ids.section(QLatin1Char('\n'), 0, 0).trimmed();
    // Waiting a moment for the end also takes note of it (QProcess learns of it only inside a wait).
    if (process && (process->state() != QProcess::Running || process->waitForFinished(50))) return {};
    QThread::msleep(50);
  } while (timer.elapsed() < timeoutMs);
  return {};
}

QString XServer::WindowTitle(const QString& window) const {
  return Xdotool({QStringLiteral("getwindowname"), window}, 5000);
}

bool XServer::Click(const QString& window, int x, int y) const {
  bool ok = false;
  Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x),
           QString::number(y), QStringLiteral("click"), QStringLiteral("1")},
          5000, &ok);
  return ok;
}

bool XServer::PressKey(const QString& window, const QString& key) const {
  bool ok = false;
  Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}, 5000, &ok);
  if (!ok) return false;
  // The dialog takes keys once it is shown and focused; give Qt a moment to map it.
  QThread::msleep(150);
  Xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key}, 5000, &ok);
  return ok;
}
