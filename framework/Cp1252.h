#pragma once
// Windows-1252, the 8-bit code page of every INI file and log the program shares with Windows programs.

#include <QByteArray>
#include <QString>

QString DecodeCp1252(const QByteArray& bytes);
// Characters Windows-1252 cannot hold become "?".
QByteArray EncodeCp1252(const QString& text);
// The code of one character in Windows-1252 ("?" = 63 when it has none).
unsigned char Cp1252Code(QChar c);
