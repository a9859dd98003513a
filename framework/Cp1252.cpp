#include "framework/Cp1252.h"

namespace {

// Characters of the bytes 0x80 to 0x9F; the five bytes Windows leaves undefined map to the C1 controls.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

void AppendDecodedCp1252(QByteArrayView bytes, QString& text) {
  const qsizetype old = text.size();
  text.resize(old + bytes.size());
  QChar* out = text.data() + old;
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kHigh[b - 0x80]) : QChar(b);
  }
}

QString DecodeCp1252(const QByteArray& bytes) {
  QString text;
  AppendDecodedCp1252(bytes, text);
  return text;
}

unsigned char Cp1252Code(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<unsigned char>(u);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == u) return static_cast<unsigned char>(0x80 + i);
  }
  return '?';
}

void AppendEncodedCp1252(QStringView text, QByteArray& bytes, bool& afterHighSurrogate) {
  const qsizetype n = text.size();
  if (n == 0) return;
  const qsizetype old = bytes.size();
  bytes.resize(old + n);
  char* out = bytes.data() + old;
  const char16_t* in = text.utf16();
  qsizetype i = 0;
  // The second half of a pair whose first half ended the previous piece (and became its "?").
  if (afterHighSurrogate && QChar::isLowSurrogate(in[0])) i = 1;
  for (; i < n; ++i) {
    const char16_t u = in[i];
    if (u < 0x80) {
      *out++ = static_cast<char>(u);
      continue;
    }
    // A character outside the basic plane is one "?", not two.
    if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) ++i;
    *out++ = static_cast<char>(Cp1252Code(QChar(u)));
  }
  bytes.resize(out - bytes.constData());
  // A first half at the very end has not met its second half yet.
  afterHighSurrogate = QChar::isHighSurrogate(in[n - 1]);
}

QByteArray EncodeCp1252(const QString& text) {
  QByteArray bytes;
  bool afterHighSurrogate = false;
  AppendEncodedCp1252(text, bytes, afterHighSurrogate);
  return bytes;
}
