#pragma once
// The one error-trap mechanism of the program. Every procedure creates a Trap holding its own name and
// runs the steps that can fail through it; a failing step goes to the central handler of the run (an
// ErrorSink), which decides whether the program ends or the procedure resumes with its next step.
//
// This file is the bottom of the framework: it knows nothing of logs, dialogs or start modes. The run
// creates its handler at start and every trap is given it.

#include <QString>

#include <cstdint>
#include <exception>
#include <utility>
#include <vector>

// Error numbers of the program's own failures.
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrSubscript = 9;
inline constexpr int32_t kErrTypeMismatch = 13;
inline constexpr int32_t kErrFileNotFound = 53;
inline constexpr int32_t kErrFileAccess = 75;
inline constexpr int32_t kErrDatabaseAbort = 9999;
// A failure of the runtime itself (out of memory, a broken container access).
inline constexpr int32_t kErrInternal = 51;

// Exit statuses of the process.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitCancelled = 2;

// An error as the central handler sees it: number, source, description and the fatal flag. An empty
// source stands for the program itself; the handler names it by the executable's name.
struct AppError : std::exception {
  AppError(int32_t number, QString source, QString description, bool fatal = false);
  const char* what() const noexcept override { return what_.constData(); }

  int32_t number;
  QString source;
  QString description;
  bool fatal;

 private:
  QByteArray what_;
};

// Raises one of the program's own errors.
[[noreturn]] void Raise(int32_t number, const QString& description);

// Thrown by EndProgram. Deliberately not a std::exception: only the top level (the run, the window's
// handler boundary) and the test harness catch it, so no trap can swallow the end of the program.
struct ProgramEnd {
  int status;
};

// Ends the program at once with the status.
[[noreturn]] void EndProgram(int status = kExitError);

// Where traps send the errors they catch: the run's central handler.
class ErrorSink {
 public:
  // 1 = end the program, 2 = go on with the next step.
  virtual int HandleError(int32_t number, const QString& source, const QString& description,
                          const QString& procedure, bool fatal) = 0;

 protected:
  ~ErrorSink() = default;
};

// Runs a step; an error it raises goes to onError, a failure of the runtime (out of memory, a broken
// container access) as an error of the program's own. True when the step succeeded.
template <class Step, class OnError>
bool RunCatching(Step&& step, OnError&& onError) {
  try {
    std::forward<Step>(step)();
    return true;
  } catch (const AppError& e) {
    onError(e);
  } catch (const std::exception& e) {
    onError(AppError(kErrInternal, QString(), QString::fromLocal8Bit(e.what())));
  }
  return false;
}

class Trap {
 public:
  Trap(ErrorSink& sink, QString procedure) : sink_(sink), procedure_(std::move(procedure)) {}

  // Runs one step. Returns true when it succeeded, false when it failed and the handler let the
  // procedure go on (whatever the step should have produced keeps its previous value).
  template <class Step>
  bool Run(Step&& step) {
    return RunCatching(std::forward<Step>(step), [this](const AppError& e) { Handle(e); });
  }

  // Runs the condition of a decision. A condition that fails counts as true: the guarded branch runs.
  template <class Condition>
  bool If(Condition&& condition) {
    bool holds = true;
    Run([&] { holds = static_cast<bool>(std::forward<Condition>(condition)()); });
    return holds;
  }

  // Passes an error caught elsewhere to the handler under this procedure's name; ends the program when
  // the handler says so.
  void Handle(const AppError& error) const;

  const QString& Procedure() const { return procedure_; }
  ErrorSink& Sink() const { return sink_; }

 private:
  ErrorSink& sink_;
  QString procedure_;
};

// The trap of a loop over records: a failure that repeats record after record (a read-only folder, a
// broken schema) is reported once, when the loop ends, with the number of records it hit, instead of
// once per record. Failures that differ are reported one each, in the order they first occurred.
class RecordTrap {
 public:
  explicit RecordTrap(Trap& trap) : trap_(trap) {}

  // The loop moves on to its next record.
  void NextRecord() { ++record_; }

  // Runs one step of the current record; false when it failed (the loop goes on with its next step).
  template <class Step>
  bool Run(Step&& step) {
    return RunCatching(std::forward<Step>(step), [this](const AppError& e) { Note(e); });
  }

  // True when a step of the loop failed.
  bool Failed() const { return !failures_.empty(); }
  // Reports what failed to the procedure's trap; may end the program. Call it once the loop is done.
  void Finish();

 private:
  struct Failure {
    AppError error;
    int64_t records = 0;
    int64_t lastRecord = -1;
  };
  void Note(const AppError& error);

  Trap& trap_;
  int64_t record_ = 0;
  std::vector<Failure> failures_;
};
