#pragma once
// A virtual X server for runs that must answer a dialog, and the keys and clicks that answer it.
//
// Every wait polls for its condition until a deadline. The deadlines only bound how long a broken run
// is waited for (a passing run goes on the moment its condition holds), so they are generous enough
// for a sanitizer build on a busy machine. A key or click that came before the window took input has
// no effect; it is repeated, at growing intervals, until its effect shows.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>

// How long a window may take to appear, and to go away once it is answered.
inline constexpr int kWindowTimeoutMs = 60000;

class XServer {
 public:
  // Starts Xvfb on a free display; display() is empty when that failed (see failure()).
  XServer();
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  QString display() const { return display_; }
  QString failure() const { return failure_; }
  // Whether Xvfb and xdotool are installed at all (without them dialog tests cannot run here).
  bool installed() const { return installed_; }

  // Waits for a mapped window whose title matches the regular expression and returns its id; empty
  // when none appeared before the deadline or, when a process is given, the process ended first.
  QString WaitForWindow(const QString& titlePattern, QProcess* process = nullptr,
                        int timeoutMs = kWindowTimeoutMs) const;
  // The id of a mapped window whose title matches, now; empty when there is none.
  QString FindWindow(const QString& titlePattern) const;
  // Whether the window is mapped; a query that fails counts as mapped, so nobody takes a window for
  // gone that is still there.
  bool IsMapped(const QString& window) const;
  // The text of the window's title.
  QString WindowTitle(const QString& window) const;

  // Answers a dialog with a key (xdotool key names: Return, alt+n, ...): gives the window the focus and
  // presses the key until the window goes away or the process ends. True when that happened after the
  // key reached the window; false when the window was still there at the deadline or went away before
  // any key of ours reached it.
  bool Answer(const QString& window, const QString& key, QProcess* process,
              int timeoutMs = kWindowTimeoutMs) const;
  // Clicks the left mouse button at the point of the window (pixels from its top left corner) until
  // done() holds; stops early when the process ends or the window goes away. True when done() holds
  // after a click reached the window. Only for clicks that may come twice: a repeated click must do no
  // harm once the first one took effect.
  bool ClickUntil(const QString& window, int x, int y, QProcess* process, const std::function<bool()>& done,
                  int timeoutMs = kWindowTimeoutMs) const;

  // The mapped windows with their titles, one a line, and whether the server still runs: for failure
  // messages.
  std::string WindowList() const;

 private:
  struct ToolResult {
    bool ok = false;   // ran to its end with status 0
    bool ran = false;  // ran to its end, whatever its status
    int status = -1;
    QString output;  // standard output, trimmed
    QString errors;  // standard error, trimmed
  };
  // Runs xdotool with the arguments on this display, killed when it takes longer than the deadline.
  ToolResult Xdotool(const QStringList& arguments) const;
  // The ids of the mapped windows whose title matches; ok is false when the query itself failed.
  QStringList MappedWindows(const QString& titlePattern, bool* ok) const;
  // Focuses the window and presses the key in one xdotool call.
  bool PressKey(const QString& window, const QString& key) const;
  bool Click(const QString& window, int x, int y) const;

  std::unique_ptr<QProcess> server_;
  QTemporaryDir logDir_;  // the server's standard error, read for failure messages
  QString display_;
  QString failure_;
  bool installed_ = false;
};
