#include "framework/TextFile.h"

#include "framework/Cp1252.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

QString DecodeUtf16Le(const QByteArray& bytes) {
  QString text;
  text.reserve(bytes.size() / 2);
  for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(bytes.at(i));
    const auto hi = static_cast<unsigned char>(bytes.at(i + 1));
    text.append(QChar(static_cast<char16_t>(lo | (hi << 8))));
  }
  return text;
}

QByteArray EncodeUtf16Le(const QString& text) {
  QByteArray bytes("\xFF\xFE", 2);
  bytes.reserve(2 + text.size() * 2);
  for (const QChar c : text) {
    bytes.append(static_cast<char>(c.unicode() & 0xFF));
    bytes.append(static_cast<char>(c.unicode() >> 8));
  }
  return bytes;
}

}  // namespace

std::optional<TextFileContent> ReadTextFile(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (bytes.startsWith("\xFF\xFE")) return TextFileContent{DecodeUtf16Le(bytes), TextEncoding::Utf16Le};
  return TextFileContent{DecodeCp1252(bytes), TextEncoding::Cp1252};
}

bool WriteTextFileAtomically(const QString& path, const TextFileContent& content) {
  if (path.isEmpty()) return false;
  const QByteArray bytes =
      content.encoding == TextEncoding::Utf16Le ? EncodeUtf16Le(content.text) : EncodeCp1252(content.text);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

void AppendLogLine(const QString& path, const QString& line) {
  const QByteArray bytes = EncodeCp1252(line + QStringLiteral("\r\n"));
  QFile file(path);
  if (!path.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::Append) &&
      file.write(bytes) == bytes.size()) {
    return;
  }
  // The log cannot take the line: keep it on standard error rather than lose it or stop the program.
  std::fprintf(stderr, "%s: %s\n", path.toLocal8Bit().constData(), line.toLocal8Bit().constData());
}
