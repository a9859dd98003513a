#include "tests/e2e/XServer.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

XServer::XServer() {
  const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
  if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
    failure_ = QStringLiteral("Xvfb or xdotool is not installed (tools/deps.sh installs both)");
    return;
  }
  // The server picks a free display itself and writes its number to standard output once it accepts
  // connections, so parallel test processes never share or wait for one. Without -noreset the server
  // starts afresh whenever its last client disconnects, which every xdotool call does, and refuses the
  // connections that come in meanwhile: a program started at that moment ends with "could not connect
  // to display".
  auto server = std::make_unique<QProcess>();
  server->setProcessChannelMode(QProcess::SeparateChannels);
  server->start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1280x1024x24")});
  if (!server->waitForStarted(5000)) {
    failure_ = QStringLiteral("Xvfb did not start");
    return;
  }
  QElapsedTimer timer;
  timer.start();
  QByteArray number;
  while (!number.contains('\n') && timer.elapsed() < 10000) {
    if (server->waitForReadyRead(200)) number += server->readAllStandardOutput();
    if (server->state() != QProcess::Running) break;
  }
  bool ok = false;
  const int n = number.trimmed().toInt(&ok);
  if (!number.contains('\n') || !ok) {
    failure_ =
        QStringLiteral("Xvfb reported no display: ") + QString::fromLocal8Bit(server->readAllStandardError());
    server->kill();
    server->waitForFinished(2000);
    return;
  }
  server_ = std::move(server);
  display_ = QStringLiteral(":%1").arg(n);
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
