#pragma once
// The placeholders of the preset generation ("###Var_Name", "###machine"), resolved on the UTF-8 text the
// database holds. A plain ASCII text is worked on byte by byte, which gives exactly what ReplaceSearchItem
// gives: upper-casing ASCII only touches a to z. Any other text goes through ReplaceSearchItem itself,
// because upper-casing some other letters gives ASCII ones ("ı" gives "I").

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The text with the first occurrence of the search item (found without regard to case) replaced.
QString ReplaceSearchItem(const QString& text, const QString& searchItem, const QString& replacement);

// A search item in both forms: as given, and its ASCII upper case for the byte-wise search.
struct SearchItem {
  explicit SearchItem(const QString& item) : text(item), upperUtf8(item.toUpper().toUtf8()) {}
  QString text;
  QByteArray upperUtf8;
};

// ReplaceSearchItem on UTF-8: the result is the text itself (nothing found) or lies in out. exact says
// that the replacement's bytes are those of its text (valid UTF-8), which lets a byte-wise result stand.
QByteArrayView ReplaceFirstUtf8(QByteArrayView text, const SearchItem& item, QByteArrayView replacement,
                                bool exact, QByteArray& out);

// Resolves the texts of one machine's records.
class PlaceholderResolver {
 public:
  explicit PlaceholderResolver(const QString& machine);

  // A text field: its first "###machine" resolved. The result is the text itself or lies in out.
  QByteArrayView ResolveText(QByteArrayView text, QByteArray& out) const;
  // A variable name: the name template with "###Var_Name" replaced by the variable name, then up to two
  // "###machine" resolved. The result lies in out.
  QByteArrayView ResolveName(QByteArrayView nameTemplate, QByteArrayView varName, QByteArray& out);

 private:
  QByteArray machine_;
  QByteArray scratch_[2];
};
