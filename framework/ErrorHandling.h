#pragma once
// The central error handler, the logs and the cancel question.

#include <QString>

#include <cstdint>

// 1 = end the program, 2 = continue.
int HandleError(int32_t number, const QString& source, const QString& description, const QString& procedure,
                bool fatal);
// Ends the program at once (throws ProgramEnd, caught only at the top level and by tests).
[[noreturn]] void EndProgram(int status = 1);
// The status the closing sequence ends with: 1 when any error was handled during the run, else 0.
int ClosingStatus();
// True once HandleError has run.
bool AnyErrorHandled();

// Appends a line to the error log; returns "Error logged to " + line break + the upper-cased path.
QString WriteErrorLog(const QString& line);
void ReportFault(const QString& text);
void WriteServiceLog(const QString& text);
bool ConfirmCancel();

QString ErrorLogPath();
QString ServiceLogPath();
