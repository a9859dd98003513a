#include "framework/ErrorTrap.h"

AppError::AppError(int32_t number_, QString source_, QString description_, bool fatal_)
    : number(number_),
      source(std::move(source_)),
      description(std::move(description_)),
      fatal(fatal_),
      what_(description.toUtf8()) {}

void Raise(int32_t number, const QString& description) {
  throw AppError(number, QString(), description);
}

void EndProgram(int status) {
  throw ProgramEnd{status};
}

void Trap::Handle(const AppError& error) const {
  if (sink_.HandleError(error.number, error.source, error.description, procedure_, error.fatal) == 1) {
    EndProgram(kExitError);
  }
}

void RecordTrap::Note(const AppError& error) {
  for (Failure& failure : failures_) {
    if (failure.error.number == error.number && failure.error.source == error.source &&
        failure.error.description == error.description && failure.error.fatal == error.fatal) {
      if (failure.lastRecord != record_) ++failure.records;
      failure.lastRecord = record_;
      return;
    }
  }
  failures_.push_back(Failure{error, 1, record_});
}

void RecordTrap::Finish() {
  std::vector<Failure> failures;
  failures.swap(failures_);
  for (const Failure& failure : failures) {
    if (failure.records == 1) {
      trap_.Handle(failure.error);
      continue;
    }
    const AppError& e = failure.error;
    trap_.Handle(AppError(e.number, e.source,
                          e.description + QStringLiteral(" (%1 records)").arg(failure.records), e.fatal));
  }
}
