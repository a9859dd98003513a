#pragma once
// Texts compared and hashed without regard to case, as the collation UNICODE_NOCASE compares them: simple
// Unicode case folding, character by character.

#include <QByteArrayView>

#include <cstdint>

namespace db {

// The order of the collation UNICODE_NOCASE on UTF-8 texts: the order of the texts folded to one case.
int CompareNoCase(QByteArrayView a, QByteArrayView b);
// A hash of a UTF-8 text folded to one case: texts equal under UNICODE_NOCASE have the same hash.
uint64_t FoldedHash(QByteArrayView utf8);

}  // namespace db
