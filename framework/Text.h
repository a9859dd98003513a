#pragma once
// Small text rules shared by all parts of the program.

#include <QString>

// The two characters line feed and carriage return that separate lines inside the system's messages.
inline const QString kLineBreak = QStringLiteral("\n\r");
// Carriage return and line feed, as at the end of a file line.
inline const QString kCrLf = QStringLiteral("\r\n");

// Upper case character by character (simple case mapping), so positions found in the upper-cased text
// are positions in the original text as well.
QString UCase(const QString& text);

// Removes leading and trailing blanks (not tabs), as the command line and the value rules expect.
QString TrimBlanks(const QString& text);

// Decimal text of a number, independent of the locale; doubles with up to 15 significant digits.
QString NumberText(double value);
