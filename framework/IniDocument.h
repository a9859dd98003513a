#pragma once
// In-memory INI text with the lookup and edit rules of the Windows private-profile functions:
// names match without regard to case and surrounding blanks, values are trimmed and lose one pair of
// outer quotes, ";" starts a comment, the first of duplicate sections and entries is the one used, an
// entry name and a value end at a NUL, and every line that is not touched keeps its bytes.
//
// The document is the file's text itself, looked at line by line when asked: no copy of a line is made
// and no index is built, so a large file costs little more than its text. An edit changes the text in
// place; line ends become CR LF only when the text is serialized.

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

class IniDocument {
 public:
  static IniDocument Parse(QString text);
  // The whole text, every line ending in CR LF.
  QString Serialize() const;
  // The same text handed to sink piece by piece, in order, each piece a view into the document (valid
  // during the call), so that a large file can be written out without a second copy of its text.
  void SerializeTo(const std::function<void(QStringView)>& sink) const;

  // The entry's value (trimmed, outer quotes removed), or nullopt when the section or entry is missing.
  std::optional<QString> Value(QStringView section, QStringView entry) const;

  // Every entry of the section (the first of duplicate sections), in file order: its name and value as
  // Value() reads them. For many lookups in one section at a cost of one pass.
  void ForEachEntry(QStringView section, const std::function<void(QStringView, const QString&)>& visit) const;

  // Writes an entry: replaces it in place, or adds it after the last entry of its section, or appends
  // the section at the end. No value removes the entry. Returns true when the text changed.
  bool Set(QStringView section, QStringView entry, const std::optional<QString>& value);

 private:
  enum class Kind { Other, Comment, Section, Entry };
  // One line: where it starts, where its text ends (before the line end), where the next line starts,
  // its kind and its section or entry name (trimmed; a view into the text).
  struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
    Kind kind = Kind::Other;
    QStringView name;
  };
  // A section: its header line and where it ends (the next header, or the end of the text).
  struct Section {
    Line header;
    qsizetype end = 0;
  };
  Line LineAt(qsizetype begin) const;
  std::optional<Section> FindSection(QStringView section) const;
  std::optional<Line> FindEntry(const Section& section, QStringView entry) const;
  // Replaces length characters at pos with the replacement, in place.
  void Splice(qsizetype pos, qsizetype length, QStringView replacement);

  QString text_;
};
