#include "presets/Placeholders.h"

#include "framework/Text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

const SearchItem kVarName(QStringLiteral("###Var_Name"));
const SearchItem kMachine(QStringLiteral("###machine"));

// Whether no byte is 0x80 or more.
bool IsAscii(QByteArrayView bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The first position of the upper-case ASCII item in the ASCII text, compared upper-cased; -1 if none.
// When the item starts with a character that has no other case ("#"), only the positions that hold it
// are compared.
qsizetype FindUpperAscii(QByteArrayView text, QByteArrayView upperItem) {
  const qsizetype last = text.size() - upperItem.size();
  const char first = upperItem.isEmpty() ? 'A' : upperItem[0];
  const bool caseless = !(first >= 'A' && first <= 'Z');
  for (qsizetype p = 0; p <= last; ++p) {
    if (caseless) {
      const void* at = std::memchr(text.data() + p, first, last - p + 1);
      if (!at) return -1;
      p = static_cast<const char*>(at) - text.data();
    }
    qsizetype i = 0;
    for (; i < upperItem.size(); ++i) {
      char c = text[p + i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      if (c != upperItem[i]) break;
    }
    if (i == upperItem.size()) return p;
  }
  return -1;
}

// The bytes given, as a view that stays valid while out is changed.
QByteArrayView Keep(QByteArrayView bytes, QByteArray& out) {
  out.resize(bytes.size());
  if (!bytes.isEmpty()) std::memcpy(out.data(), bytes.data(), bytes.size());
  return out;
}

}  // namespace

QString ReplaceSearchItem(const QString& text, const QString& searchItem, const QString& replacement) {
  const qsizetype p = UCase(text).indexOf(UCase(searchItem));
  if (p < 0) return text;
  return text.left(p) + replacement + text.mid(p + searchItem.size());
}

QByteArrayView ReplaceFirstUtf8(QByteArrayView text, const SearchItem& item, QByteArrayView replacement,
                                bool exact, QByteArray& out) {
  if (exact && IsAscii(text)) {
    const qsizetype p = FindUpperAscii(text, item.upperUtf8);
    if (p < 0) return text;
    const qsizetype tail = text.size() - p - item.upperUtf8.size();
    out.resize(p + replacement.size() + tail);
    char* d = out.data();
    if (p > 0) std::memcpy(d, text.data(), p);
    if (!replacement.isEmpty()) std::memcpy(d + p, replacement.data(), replacement.size());
    if (tail > 0) std::memcpy(d + p + replacement.size(), text.data() + p + item.upperUtf8.size(), tail);
    return out;
  }
  // Converting to text and back also replaces bytes that are no UTF-8, as every resolved text does.
  out = ReplaceSearchItem(QString::fromUtf8(text), item.text, QString::fromUtf8(replacement)).toUtf8();
  return out;
}

PlaceholderResolver::PlaceholderResolver(const QString& machine) : machine_(machine.toUtf8()) {}

QByteArrayView PlaceholderResolver::ResolveText(QByteArrayView text, QByteArray& out) const {
  return ReplaceFirstUtf8(text, kMachine, machine_, true, out);
}

QByteArrayView PlaceholderResolver::ResolveName(QByteArrayView nameTemplate, QByteArrayView varName,
                                                QByteArray& out) {
  // The variable name's bytes stand for themselves only when they are plain ASCII. Each step writes into
  // a buffer other than the one it reads; the result is put into out, so two names can be held at once.
  QByteArrayView name = ReplaceFirstUtf8(nameTemplate, kVarName, varName, IsAscii(varName), scratch_[0]);
  name = ReplaceFirstUtf8(name, kMachine, machine_, true, scratch_[1]);
  name = ReplaceFirstUtf8(name, kMachine, machine_, true, out);
  return name.data() == out.constData() ? name : Keep(name, out);
}
