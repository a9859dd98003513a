#include "framework/TextFile.h"

#include "framework/Cp1252.h"

#include <algorithm>
#include <cstdio>

namespace {

// Files are read and written in pieces of this size, so that a large file's bytes are never held whole
// next to its text.
constexpr qint64 kChunk = 1 << 20;
// Room left in a text read from a file for the entries a rewrite adds, so that they need no new copy.
constexpr qsizetype kEditRoom = 4096;

void AppendDecodedUtf16Le(const char* bytes, qsizetype units, QString& text) {
  const qsizetype old = text.size();
  text.resize(old + units);
  QChar* out = text.data() + old;
  for (qsizetype i = 0; i < units; ++i) {
    const auto lo = static_cast<unsigned char>(bytes[2 * i]);
    const auto hi = static_cast<unsigned char>(bytes[2 * i + 1]);
    out[i] = QChar(static_cast<char16_t>(lo | (hi << 8)));
  }
}

void AppendEncodedUtf16Le(QStringView text, QByteArray& bytes) {
  const qsizetype old = bytes.size();
  bytes.resize(old + 2 * text.size());
  char* out = bytes.data() + old;
  for (const QChar c : text) {
    *out++ = static_cast<char>(c.unicode() & 0xFF);
    *out++ = static_cast<char>(c.unicode() >> 8);
  }
}

}  // namespace

std::optional<TextFileContent> ReadTextFile(const QString& path, QString* failure) {
  RegularFileReader in(path);
  if (in.status() != RegularFileReader::Status::Open) {
    if (failure != nullptr && in.status() == RegularFileReader::Status::Failed) *failure = in.reason();
    return std::nullopt;
  }
  TextFileContent content;
  // A small file gets a buffer of its size (a settings file is a few hundred bytes), a large one pieces.
  const qint64 pieceSize = std::clamp<qint64>(in.size() + 2, 64, kChunk);
  QByteArray chunk(pieceSize, Qt::Uninitialized);
  bool encodingKnown = false;
  qint64 carried = 0;  // bytes at the start of chunk not decoded yet (the start, or half a UTF-16 unit)
  for (;;) {
    const qint64 n = in.Read(chunk.data() + carried, pieceSize - carried);
    if (n < 0) {
      if (failure != nullptr) *failure = in.reason();
      return std::nullopt;
    }
    const bool atEnd = n == 0;
    const qint64 available = carried + n;
    qint64 start = 0;
    if (!encodingKnown) {
      // The first two bytes tell the encoding.
      if (available < 2 && !atEnd) {
        carried = available;
        continue;
      }
      encodingKnown = true;
      if (available >= 2 && chunk.startsWith("\xFF\xFE")) {
        content.encoding = TextEncoding::Utf16Le;
        start = 2;
        content.text.reserve(std::max<qint64>(in.size() - 2, 0) / 2 + kEditRoom);
      } else {
        content.text.reserve(in.size() + kEditRoom);
      }
    }
    if (content.encoding == TextEncoding::Utf16Le) {
      const qint64 units = (available - start) / 2;
      AppendDecodedUtf16Le(chunk.constData() + start, units, content.text);
      // An odd last byte waits for its partner; at the end of the file it is dropped.
      carried = available - start - 2 * units;
      if (carried > 0) chunk[0] = chunk[start + 2 * units];
    } else {
      AppendDecodedCp1252(QByteArrayView(chunk.constData() + start, available - start), content.text);
      carried = 0;
    }
    if (atEnd) break;
  }
  return content;
}

TextFileWriter::TextFileWriter(const QString& path, TextEncoding encoding)
    : file_(path), encoding_(encoding) {
  if (encoding_ == TextEncoding::Utf16Le) buffer_.append("\xFF\xFE", 2);
}

void TextFileWriter::Append(QStringView text) {
  // Slices of a quarter chunk keep the buffer near its reserved size (UTF-16 doubles the bytes).
  constexpr qsizetype kSlice = kChunk / 4;
  while (!text.isEmpty() && file_.status().ok) {
    const QStringView slice = text.first(std::min(text.size(), kSlice));
    text = text.sliced(slice.size());
    if (encoding_ == TextEncoding::Utf16Le) {
      AppendEncodedUtf16Le(slice, buffer_);
    } else {
      AppendEncodedCp1252(slice, buffer_, afterHighSurrogate_);
    }
    if (buffer_.size() >= kChunk) Flush();
  }
}

void TextFileWriter::Flush() {
  if (!buffer_.isEmpty()) file_.Write(buffer_);
  buffer_.resize(0);
}

FileResult TextFileWriter::Commit() {
  Flush();
  return file_.Commit();
}

FileResult WriteTextFileAtomically(const QString& path, const TextFileContent& content) {
  TextFileWriter writer(path, content.encoding);
  writer.Append(content.text);
  return writer.Commit();
}

FileResult AppendLogLine(const QString& path, const QString& line) {
  const FileResult result = path.isEmpty()
                                ? FileResult::Failure(QStringLiteral("no log file is named"))
                                : AppendToRegularFile(path, EncodeCp1252(line + QStringLiteral("\r\n")));
  if (!result.ok) {
    // The log cannot take the line: keep it on standard error rather than lose it or stop the program.
    std::fprintf(stderr, "Not logged (%s): %s\n", result.reason.toLocal8Bit().constData(),
                 line.toLocal8Bit().constData());
  }
  return result;
}
