#pragma once
// In-memory INI text with the lookup and edit rules of the Windows private-profile functions:
// names match without regard to case and surrounding blanks, values are trimmed and lose one pair of
// outer quotes, ";" starts a comment, the first of duplicate sections and entries is the one used, and
// every line that is not touched keeps its bytes.

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

class IniDocument {
 public:
  static IniDocument Parse(const QString& text);
  // The whole text, every line ending in CR LF.
  QString Serialize() const;

  // The entry's value (trimmed, outer quotes removed), or nullopt when the section or entry is missing.
  std::optional<QString> Value(QStringView section, QStringView entry) const;

  // Writes an entry: replaces it in place, or adds it after the last entry of its section, or appends
  // the section at the end. No value removes the entry. Returns true when the text changed.
  bool Set(QStringView section, QStringView entry, const std::optional<QString>& value);

 private:
  enum class Kind { Other, Comment, Section, Entry };
  struct Line {
    QString text;
    Kind kind = Kind::Other;
    QString name;  // section or entry name, trimmed
  };
  static Line Classify(const QString& text);
  // Index of the section's header line and one past its last line, or nullopt.
  std::optional<std::pair<size_t, size_t>> FindSection(QStringView section) const;
  std::optional<size_t> FindEntry(size_t begin, size_t end, QStringView entry) const;

  std::vector<Line> lines_;
};
