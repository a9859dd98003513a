#include "tests/e2e/XServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

namespace {

// How often a condition is looked at.
constexpr int kPollMs = 100;
// A key or click without effect is repeated after this long, then at doubling intervals up to the
// longest. The first one nearly always takes effect; the pause gives a busy program the time to show
// that it did before a second one comes.
constexpr int kFirstRetryMs = 2000;
constexpr int kLongestRetryMs = 8000;
// How long one xdotool call may take before it is killed; it needs milliseconds unless the machine is
// very busy (windowfocus --sync gives up by itself after about 15 seconds).
constexpr int kToolTimeoutMs = 30000;
// How long Xvfb may take to come up.
constexpr int kServerStartMs = 60000;

// Pauses for a poll interval; true when the process (if one is given) has ended by then. Waiting for
// the end also takes note of it: QProcess learns of it only inside a wait.
bool PauseUntilEnded(QProcess* process, int ms) {
  if (!process) {
    QThread::msleep(static_cast<unsigned long>(ms));
    return false;
  }
  return process->state() == QProcess::NotRunning || process->waitForFinished(ms);
}

bool Ended(QProcess* process) {
  return process && (process->state() == QProcess::NotRunning || process->waitForFinished(0));
}

}  // namespace

XServer::XServer() {
  const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
  if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
    failure_ = QStringLiteral("Xvfb or xdotool is not installed (tools/deps.sh installs both)");
    return;
  }
  installed_ = true;
  // The server picks a free display itself and writes its number to standard output once it accepts
  // connections, so parallel test processes never share or wait for one. Without -noreset the server
  // starts afresh whenever its last client disconnects, which every xdotool call does, and refuses the
  // connections that come in meanwhile: a program started at that moment ends with "could not connect
  // to display". Its standard error goes to a file: a pipe nobody reads would stop it once full.
  auto server = std::make_unique<QProcess>();
  server->setProcessChannelMode(QProcess::SeparateChannels);
  const QString log = logDir_.filePath(QStringLiteral("Xvfb.log"));
  server->setStandardErrorFile(log);
  server->start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1280x1024x24")});
  if (!server->waitForStarted(kServerStartMs)) {
    failure_ = QStringLiteral("Xvfb did not start: ") + server->errorString();
    return;
  }
  QElapsedTimer timer;
  timer.start();
  QByteArray number;
  while (!number.contains('\n') && timer.elapsed() < kServerStartMs) {
    if (server->waitForReadyRead(kPollMs)) number += server->readAllStandardOutput();
    if (server->state() != QProcess::Running) break;
  }
  bool ok = false;
  const int n = number.trimmed().toInt(&ok);
  if (!number.contains('\n') || !ok) {
    if (server->state() == QProcess::Running) {
      failure_ = QStringLiteral("Xvfb reported no display within %1 ms").arg(timer.elapsed());
      server->kill();
    } else {
      failure_ = QStringLiteral("Xvfb ended with status %1").arg(server->exitCode());
    }
    server->waitForFinished(kServerStartMs);
    QFile file(log);
    if (file.open(QIODevice::ReadOnly))
      failure_ += QStringLiteral(": ") + QString::fromLocal8Bit(file.readAll());
    return;
  }
  server_ = std::move(server);
  display_ = QStringLiteral(":%1").arg(n);
}

XServer::~XServer() {
  if (!server_) return;
  server_->terminate();
  if (!server_->waitForFinished(kServerStartMs)) {
    server_->kill();
    server_->waitForFinished(kServerStartMs);
  }
}

XServer::ToolResult XServer::Xdotool(const QStringList& arguments) const {
  QProcess tool;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display_);
  tool.setProcessEnvironment(env);
  tool.start(QStringLiteral("xdotool"), arguments);
  ToolResult result;
  result.ran = tool.waitForStarted(kToolTimeoutMs) && tool.waitForFinished(kToolTimeoutMs) &&
               tool.exitStatus() == QProcess::NormalExit;
  if (tool.state() != QProcess::NotRunning) {
    tool.kill();
    tool.waitForFinished(kToolTimeoutMs);
  }
  result.status = result.ran ? tool.exitCode() : -1;
  result.ok = result.ran && result.status == 0;
  result.output = QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
  result.errors = QString::fromLocal8Bit(tool.readAllStandardError()).trimmed();
  return result;
}

QStringList XServer::MappedWindows(const QString& titlePattern, bool* ok) const {
  const ToolResult result = Xdotool(
      {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), titlePattern});
  // No match is status 1 without a word on standard error; an X error (a window that went away while
  // the search looked at it) is status 1 with one.
  *ok = result.ok || (result.ran && result.status == 1 && result.errors.isEmpty());
  return result.ok ? result.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList();
}

QString XServer::FindWindow(const QString& titlePattern) const {
  bool ok = false;
  const QStringList ids = MappedWindows(titlePattern, &ok);
  return ids.isEmpty() ? QString() : ids.first().trimmed();
}

QString XServer::WaitForWindow(const QString& titlePattern, QProcess* process, int timeoutMs) const {
  QElapsedTimer timer;
  timer.start();
  while (true) {
    const QString id = FindWindow(titlePattern);
    if (!id.isEmpty()) return id;
    // A program that has ended shows no window any more (no window outlives its connection).
    if (PauseUntilEnded(process, kPollMs) || timer.elapsed() > timeoutMs) return {};
  }
}

bool XServer::IsMapped(const QString& window) const {
  bool ok = false;
  const QStringList ids = MappedWindows(QString(), &ok);
  return !ok || ids.contains(window);
}

QString XServer::WindowTitle(const QString& window) const {
  return Xdotool({QStringLiteral("getwindowname"), window}).output;
}

bool XServer::PressKey(const QString& window, const QString& key) const {
  // The key goes to the window that has the focus, so the focus must be there first; in one call, so
  // nothing comes between the two. A window that has gone cannot take the focus, and no key is sent.
  return Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window, QStringLiteral("key"),
                  QStringLiteral("--clearmodifiers"), key})
      .ok;
}

bool XServer::Click(const QString& window, int x, int y) const {
  return Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x),
                  QString::number(y), QStringLiteral("click"), QStringLiteral("1")})
      .ok;
}

bool XServer::Answer(const QString& window, const QString& key, QProcess* process, int timeoutMs) const {
  QElapsedTimer timer;
  timer.start();
  int retryMs = kFirstRetryMs;
  bool pressed = false;  // the key went to the window at least once
  // A window that went away without a key of ours was not answered by it.
  while (!Ended(process) && IsMapped(window)) {
    if (timer.elapsed() > timeoutMs) return false;
    pressed = PressKey(window, key) || pressed;
    QElapsedTimer sincePress;
    sincePress.start();
    while (sincePress.elapsed() < retryMs && timer.elapsed() <= timeoutMs) {
      if (!IsMapped(window) || PauseUntilEnded(process, kPollMs)) return pressed;
    }
    retryMs = std::min(2 * retryMs, kLongestRetryMs);
  }
  return pressed;
}

bool XServer::ClickUntil(const QString& window, int x, int y, QProcess* process,
                         const std::function<bool()>& done, int timeoutMs) const {
  QElapsedTimer timer;
  timer.start();
  int retryMs = kFirstRetryMs;
  bool clicked = false;  // a click went to the window at least once
  // An effect that came without a click of ours was not brought about by it.
  while (!Ended(process) && IsMapped(window)) {
    if (timer.elapsed() > timeoutMs) return false;
    clicked = Click(window, x, y) || clicked;
    QElapsedTimer sinceClick;
    sinceClick.start();
    while (sinceClick.elapsed() < retryMs && timer.elapsed() <= timeoutMs) {
      if (done()) return clicked;
      if (PauseUntilEnded(process, kPollMs)) break;
    }
    retryMs = std::min(2 * retryMs, kLongestRetryMs);
  }
  return clicked && done();
}

std::string XServer::WindowList() const {
  QString text;
  if (!server_ || server_->state() != QProcess::Running) {
    text = QStringLiteral("the X server has ended\n");
  } else {
    bool ok = false;
    const QStringList ids = MappedWindows(QString(), &ok);
    text = ok ? QStringLiteral("mapped windows on %1:\n").arg(display_)
              : QStringLiteral("mapped windows on %1 (the query failed):\n").arg(display_);
    for (const QString& id : ids) {
      const QString title = WindowTitle(id);
      if (!title.isEmpty()) text += QStringLiteral("  %1 \"%2\"\n").arg(id, title);
    }
  }
  return text.toStdString();
}
