#pragma once
// Whole-file text reads and writes for INI files and line appends for logs. Every file goes through the
// safe access of SafeFile.h: reads never block and take only regular files, rewrites never destroy a
// file, and every failure is reported with its reason.

#include "framework/SafeFile.h"

#include <QString>
#include <QStringEncoder>
#include <QStringView>

#include <cstdio>
#include <optional>

// How a text file is stored. Files the program creates are Windows-1252; a file that starts with a
// byte-order mark keeps its encoding and its mark when it is rewritten.
enum class TextEncoding { Cp1252, Utf16Le, Utf16Be, Utf8 };

struct TextFileContent {
  QString text;
  TextEncoding encoding = TextEncoding::Cp1252;
};

// Reads a whole text file: UTF-16LE when it starts with FF FE, UTF-16BE when it starts with FE FF, UTF-8
// when it starts with EF BB BF, Windows-1252 otherwise. Gives nullopt when there is no regular file to
// read; when something is at the path that cannot be read as one (a folder, FIFO or device, a file
// without read permission, a read error, a UTF-8 mark before bytes that are not UTF-8), failure receives
// the reason.
std::optional<TextFileContent> ReadTextFile(const QString& path, QString* failure = nullptr);

// Replaces the file through a temporary file in the same folder and a rename (see FileReplacement), so
// a crash leaves either the old or the new file, and a failure the old one.
FileResult WriteTextFileAtomically(const QString& path, const TextFileContent& content);

// Writes a text file piece by piece, encoding as it goes, so a large text is never held twice:
// construct, Append the pieces in order, Commit. The first failure is kept and returned by Commit.
// A file with more than one hard link is rewritten in place, so that each of its names sees the new text.
class TextFileWriter {
 public:
  TextFileWriter(const QString& path, TextEncoding encoding);
  void Append(QStringView text);
  FileResult Commit();

 private:
  void Flush();

  FileReplacement file_;
  TextEncoding encoding_;
  QStringEncoder utf8_{QStringConverter::Utf8};
  QByteArray buffer_;
  bool afterHighSurrogate_ = false;
};

// Appends one line (Windows-1252, CR LF) with its own open, append and close. Never throws: a line that
// cannot be appended completely (no regular file, cannot be opened, written or closed) goes to standard
// error with the reason instead. The result tells whether the line reached the log.
FileResult AppendLogLine(const QString& path, const QString& line);

// Writes one line (in the system's encoding, line end added) to standard output or standard error and
// flushes it, so it appears in order with what other parts of the run print.
void PrintLine(std::FILE* stream, const QString& line);
