#pragma once
// The central error handler of a run, its two logs and the cancel question.

#include "framework/CommandLine.h"
#include "framework/ErrorTrap.h"
#include "framework/ProgramLocation.h"
#include "framework/UserPort.h"

#include <QString>

#include <cstdint>

class ErrorHandling : public ErrorSink {
 public:
  ErrorHandling(const ProgramLocation& location, const StartMode& mode, UserPort& port)
      : location_(location), mode_(mode), port_(port) {}
  ErrorHandling(const ErrorHandling&) = delete;
  ErrorHandling& operator=(const ErrorHandling&) = delete;

  // Logs the error and, unless silent, asks whether to resume. 1 = end the program, 2 = continue.
  int HandleError(int32_t number, const QString& source, const QString& description, const QString& procedure,
                  bool fatal) override;

  // Appends a line to the error log; returns "Error logged to " + line break + the upper-cased path.
  // A dry run shows the line on standard error instead, as it does the service log's lines.
  QString WriteErrorLog(const QString& line);
  // The last line given to the error log (empty when none), for a report of what went wrong.
  const QString& LastErrorLine() const { return lastErrorLine_; }
  // An expected problem: a box, or in silent mode a service-log entry.
  void ReportFault(const QString& text);
  void WriteServiceLog(const QString& text);
  // Whether the user (or silent mode) gives the editing up.
  bool ConfirmCancel();

  // True once an error reached the handler.
  bool AnyErrorHandled() const { return errorHandled_; }
  // How many errors reached the handler so far.
  int HandledErrors() const { return handledErrors_; }
  // The status the closing sequence ends with: 1 when any error was handled during the run, else 0.
  int ClosingStatus() const { return errorHandled_ ? kExitError : kExitOk; }
  // The status of a confirmed cancel: 2, unless an error was handled during the run.
  int CancelStatus() const { return errorHandled_ ? kExitError : kExitCancelled; }

  // In integrated mode the LOGFILE path (an empty one falls back), else the base folder's error log.
  QString ErrorLogPath() const;

  UserPort& Port() const { return port_; }
  const StartMode& Mode() const { return mode_; }
  const ProgramLocation& Location() const { return location_; }

 private:
  const ProgramLocation& location_;
  const StartMode& mode_;
  UserPort& port_;
  bool errorHandled_ = false;
  int handledErrors_ = 0;
  QString lastErrorLine_;
};

// HALVEK_SERVICE_LOG when set, else the system's service log.
QString ServiceLogPath();
