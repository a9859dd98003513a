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

// The two byte orders of UTF-16: the byte that holds the low half of a unit comes first or second.
void AppendDecodedUtf16(const char* bytes, qsizetype units, bool bigEndian, QString& text) {
  const qsizetype old = text.size();
  text.resize(old + units);
  QChar* out = text.data() + old;
  const int low = bigEndian ? 1 : 0;
  for (qsizetype i = 0; i < units; ++i) {
    const auto lo = static_cast<unsigned char>(bytes[2 * i + low]);
    const auto hi = static_cast<unsigned char>(bytes[2 * i + 1 - low]);
    out[i] = QChar(static_cast<char16_t>(lo | (hi << 8)));
  }
}

void AppendEncodedUtf16(QStringView text, bool bigEndian, QByteArray& bytes) {
  const qsizetype old = bytes.size();
  bytes.resize(old + 2 * text.size());
  char* out = bytes.data() + old;
  for (const QChar c : text) {
    const auto lo = static_cast<char>(c.unicode() & 0xFF);
    const auto hi = static_cast<char>(c.unicode() >> 8);
    *out++ = bigEndian ? hi : lo;
    *out++ = bigEndian ? lo : hi;
  }
}

bool IsUtf16(TextEncoding encoding) {
  return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

// The byte-order mark a file of the encoding starts with (none for Windows-1252).
QByteArrayView ByteOrderMark(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf16Le:
      return "\xFF\xFE";
    case TextEncoding::Utf16Be:
      return "\xFE\xFF";
    case TextEncoding::Utf8:
      return "\xEF\xBB\xBF";
    case TextEncoding::Cp1252:
      break;
  }
  return {};
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
  QByteArray utf8;     // the bytes of a UTF-8 file after its mark
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
      // The first bytes tell the encoding.
      if (available < 3 && !atEnd) {
        carried = available;
        continue;
      }
      encodingKnown = true;
      for (const TextEncoding marked : {TextEncoding::Utf16Le, TextEncoding::Utf16Be, TextEncoding::Utf8}) {
        if (QByteArrayView(chunk.constData(), available).startsWith(ByteOrderMark(marked))) {
          content.encoding = marked;
          start = ByteOrderMark(marked).size();
        }
      }
      const qint64 textBytes = std::max<qint64>(in.size() - start, 0);
      if (content.encoding == TextEncoding::Utf8) {
        utf8.reserve(textBytes);
      } else {
        content.text.reserve((IsUtf16(content.encoding) ? textBytes / 2 : textBytes) + kEditRoom);
      }
    }
    if (IsUtf16(content.encoding)) {
      const qint64 units = (available - start) / 2;
      AppendDecodedUtf16(chunk.constData() + start, units, content.encoding == TextEncoding::Utf16Be,
                         content.text);
      // An odd last byte waits for its partner; at the end of the file it is dropped.
      carried = available - start - 2 * units;
      if (carried > 0) chunk[0] = chunk[start + 2 * units];
    } else if (content.encoding == TextEncoding::Utf8) {
      // Kept as bytes until the end, so that no character is split between two pieces.
      utf8.append(chunk.constData() + start, available - start);
      carried = 0;
    } else {
      AppendDecodedCp1252(QByteArrayView(chunk.constData() + start, available - start), content.text);
      carried = 0;
    }
    if (atEnd) break;
  }
  if (content.encoding == TextEncoding::Utf8) {
    content.text = QString::fromUtf8(utf8);
    // Bytes that are not UTF-8 would not come back as they were when the file is rewritten.
    if (content.text.toUtf8() != utf8) {
      if (failure != nullptr) {
        *failure = path + QStringLiteral(": starts with a UTF-8 byte-order mark but is not UTF-8 text");
      }
      return std::nullopt;
    }
  }
  return content;
}

TextFileWriter::TextFileWriter(const QString& path, TextEncoding encoding)
    : file_(path, std::nullopt, FileReplacement::HardLinks::RewriteInPlace), encoding_(encoding) {
  buffer_.append(ByteOrderMark(encoding_));
}

void TextFileWriter::Append(QStringView text) {
  // Slices of a quarter chunk keep the buffer near its reserved size (UTF-16 doubles the bytes).
  constexpr qsizetype kSlice = kChunk / 4;
  while (!text.isEmpty() && file_.status().ok) {
    const QStringView slice = text.first(std::min(text.size(), kSlice));
    text = text.sliced(slice.size());
    if (IsUtf16(encoding_)) {
      AppendEncodedUtf16(slice, encoding_ == TextEncoding::Utf16Be, buffer_);
    } else if (encoding_ == TextEncoding::Utf8) {
      buffer_ += utf8_.encode(slice);
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

void PrintLine(std::FILE* stream, const QString& line) {
  std::fputs((line + u'\n').toLocal8Bit().constData(), stream);
  std::fflush(stream);
}
