#pragma once
// A virtual X server for runs that must answer a dialog, and the keys that answer it.

#include <QProcess>
#include <QString>

#include <memory>

class XServer {
 public:
  // Starts Xvfb on a free display; display() is empty when that failed (see failure()).
  XServer();
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  QString display() const { return display_; }
  QString failure() const { return failure_; }

  // Waits (at most timeoutMs, and only while the process runs, when one is given) for a visible window
  // whose title matches the regular expression and returns its id, empty when none appeared.
  QString WaitForWindow(const QString& titlePattern, int timeoutMs = 15000,
                        QProcess* process = nullptr) const;
  // The text of the window's title.
  QString WindowTitle(const QString& window) const;
  // Gives the window the keyboard focus and presses the key (xdotool key names: Return, n, y, ...).
  bool PressKey(const QString& window, const QString& key) const;
  // Clicks the left mouse button at the point of the window (pixels from its top left corner).
  bool Click(const QString& window, int x, int y) const;

 private:
  // Runs xdotool with the arguments on this display, bounded by the timeout; its standard output.
  QString Xdotool(const QStringList& arguments, int timeoutMs, bool* ok = nullptr) const;

  std::unique_ptr<QProcess> server_;
  QString display_;
  QString failure_;
};
