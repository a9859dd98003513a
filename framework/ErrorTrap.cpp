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

void Trap::HandleUnexpected(const std::exception& e) const {
  // Failures of the runtime reach the user like any other.
  Handle(AppError(kErrInternal, QString(), QString::fromLocal8Bit(e.what())));
}
