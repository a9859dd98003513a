#pragma once
// Windows-1252, the 8-bit code page of every INI file and log the program shares with Windows programs.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

QString DecodeCp1252(const QByteArray& bytes);
// Characters Windows-1252 cannot hold become "?".
QByteArray EncodeCp1252(const QString& text);
// The code of one character in Windows-1252 ("?" = 63 when it has none).
unsigned char Cp1252Code(QChar c);

// Decodes the bytes onto the end of text (for files read in pieces).
void AppendDecodedCp1252(QByteArrayView bytes, QString& text);
// Encodes the text onto the end of bytes (for files written in pieces). A character outside the basic
// plane is one "?"; afterHighSurrogate carries its first half from one piece to the next, so pieces
// give the same bytes as the whole text would.
void AppendEncodedCp1252(QStringView text, QByteArray& bytes, bool& afterHighSurrogate);
