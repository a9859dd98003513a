#include "framework/ErrorTrap.h"

#include "framework/ErrorHandling.h"
#include "framework/ProgramLocation.h"

AppError::AppError(int32_t number_, QString source_, QString description_, bool fatal_)
    : number(number_),
      source(std::move(source_)),
      description(std::move(description_)),
      fatal(fatal_),
      what_(description.toUtf8()) {}

void Raise(int32_t number, const QString& description) {
  throw AppError(number, ExecutableName(), description);
}

void Trap::Handle(const AppError& error) const {
  if (HandleError(error.number, error.source, error.description, procedure_, error.fatal) == 1) {
    EndProgram(kExitError);
  }
}

void Trap::HandleUnexpected(const std::exception& e) const {
  // Failures of the runtime (out of memory, a broken container access) reach the user like any other.
  Handle(AppError(51, ExecutableName(), QString::fromLocal8Bit(e.what())));
}
