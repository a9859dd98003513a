#include "presets/TextFolding.h"

#include <QString>

#include <algorithm>

namespace db {

namespace {

// The order of two texts folded to one case, with Unicode rules.
int CompareFolded(QByteArrayView a, QByteArrayView b) {
  const QString sa = QString::fromUtf8(a);
  const QString sb = QString::fromUtf8(b);
  return QString::compare(sa.toCaseFolded(), sb.toCaseFolded(), Qt::CaseSensitive);
}

constexpr uint64_t kHashSeed = 14695981039346656037ULL;  // FNV-1a
constexpr uint64_t kHashPrime = 1099511628211ULL;

// The hash of a text folded with Unicode rules. Texts that fold to the same text get the same hash; one
// that folds to plain ASCII ("K" as the Kelvin sign) is hashed as that ASCII text is.
uint64_t UnicodeFoldedHash(QByteArrayView utf8) {
  const QString folded = QString::fromUtf8(utf8).toCaseFolded();
  bool ascii = true;
  for (const QChar unit : folded) ascii = ascii && unit.unicode() < 0x80;
  if (ascii) return FoldedHash(folded.toLatin1());
  uint64_t hash = kHashSeed;  // FNV-1a over the UTF-16 units; no plain ASCII text is hashed this way
  for (const QChar unit : folded) hash = (hash ^ unit.unicode()) * kHashPrime;
  return hash;
}

}  // namespace

int CompareNoCase(QByteArrayView a, QByteArrayView b) {
  // While both texts are plain ASCII, folding only lowers A to Z, so the first differing byte decides;
  // that is the order of the folded texts as well, whatever follows. A text that is a prefix of the other
  // comes first (folding never makes a character vanish). Anything else is left to Unicode folding.
  const qsizetype common = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if ((x | y) >= 0x80) return CompareFolded(a, b);
    if (x == y) continue;
    const int fx = (x >= 'A' && x <= 'Z') ? x + 32 : x;
    const int fy = (y >= 'A' && y <= 'Z') ? y + 32 : y;
    if (fx != fy) return fx < fy ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  // The rest of the longer text: a non-ASCII rest is folded as a whole, to stay with one rule.
  const QByteArrayView rest = a.size() > b.size() ? a.sliced(common) : b.sliced(common);
  for (const char c : rest) {
    if (static_cast<unsigned char>(c) >= 0x80) return CompareFolded(a, b);
  }
  return a.size() < b.size() ? -1 : 1;
}

uint64_t FoldedHash(QByteArrayView utf8) {
  // Plain ASCII is folded by lowering A to Z; a byte of 0x80 or more sends the text to Unicode folding.
  uint64_t hash = kHashSeed;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) return UnicodeFoldedHash(utf8);
    hash = (hash ^ ((byte >= 'A' && byte <= 'Z') ? byte + 32 : byte)) * kHashPrime;
  }
  // The filters use the top bits: mixed so that every byte reaches them.
  hash ^= hash >> 33;
  hash *= 0xFF51AFD7ED558CCDULL;
  return hash ^ (hash >> 33);
}

}  // namespace db
