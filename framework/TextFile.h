#pragma once
// Whole-file text reads and writes for INI files and line appends for logs.

#include <QString>

#include <optional>

enum class TextEncoding { Cp1252, Utf16Le };

struct TextFileContent {
  QString text;
  TextEncoding encoding = TextEncoding::Cp1252;
};

// Reads a whole text file: UTF-16LE when it starts with FF FE, Windows-1252 otherwise.
std::optional<TextFileContent> ReadTextFile(const QString& path);

// Replaces the file through a temporary file in the same folder and a rename, so a crash leaves either
// the old or the new file. Returns false when the file could not be written.
bool WriteTextFileAtomically(const QString& path, const TextFileContent& content);

// Appends one line (Windows-1252, CR LF) with its own open, append and close. Never throws: a line that
// cannot be appended goes to standard error instead.
void AppendLogLine(const QString& path, const QString& line);
