#include "framework/IniDocument.h"

#include <cstring>

namespace {

bool IsBlank(QChar c) {
  return c == u' ' || c == u'\t';
}

bool IsLineEnd(QChar c) {
  return c == u'\r' || c == u'\n';
}

QStringView TrimBlanksAndTabs(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text.at(begin))) ++begin;
  while (end > begin && IsBlank(text.at(end - 1))) --end;
  return text.mid(begin, end - begin);
}

// The Windows functions keep names and values as C strings: each ends at its first NUL, and whatever
// follows the NUL on its line is not part of it.
QStringView UpToNul(QStringView text) {
  const qsizetype nul = text.indexOf(QChar(u'\0'));
  return nul < 0 ? text : text.left(nul);
}

bool SameName(QStringView a, QStringView b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The value part of an entry line: trimmed, ended at a NUL, and one pair of matching outer quotes
// removed. The "=" is the line's first, also when a NUL comes before it.
QString EntryValue(QStringView line) {
  const qsizetype eq = line.indexOf(u'=');
  if (eq < 0) return {};
  QStringView value = UpToNul(TrimBlanksAndTabs(line.mid(eq + 1)));
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.mid(1, value.size() - 2);
  }
  return value.toString();
}

}  // namespace

IniDocument IniDocument::Parse(QString text) {
  IniDocument doc;
  doc.text_ = std::move(text);
  return doc;
}

// A line ends at CR LF, CR or LF, or at the end of the text.
IniDocument::Line IniDocument::LineAt(qsizetype begin) const {
  const QChar* data = text_.constData();
  const qsizetype size = text_.size();
  Line line;
  line.begin = begin;
  qsizetype end = begin;
  while (end < size && !IsLineEnd(data[end])) ++end;
  line.end = end;
  line.next =
      end == size ? size : end + (data[end] == u'\r' && end + 1 < size && data[end + 1] == u'\n' ? 2 : 1);

  const QStringView trimmed = TrimBlanksAndTabs(QStringView(data + begin, end - begin));
  if (trimmed.isEmpty()) return line;
  if (trimmed.front() == u';') {
    line.kind = Kind::Comment;
    return line;
  }
  if (trimmed.front() == u'[') {
    const qsizetype close = trimmed.indexOf(u']');
    if (close > 0) {
      line.kind = Kind::Section;
      line.name = TrimBlanksAndTabs(trimmed.mid(1, close - 1));
      return line;
    }
  }
  // Like the Windows functions, a line without "=" inside a section is an entry without a value.
  line.kind = Kind::Entry;
  const qsizetype eq = trimmed.indexOf(u'=');
  line.name = UpToNul(TrimBlanksAndTabs(eq < 0 ? trimmed : trimmed.left(eq)));
  return line;
}

void IniDocument::SerializeTo(const std::function<void(QStringView)>& sink) const {
  static const QString kCrLf = QStringLiteral("\r\n");
  const QChar* data = text_.constData();
  const qsizetype size = text_.size();
  // Lines that already end in CR LF go out in one piece; a piece ends at a line that ends otherwise.
  qsizetype pieceBegin = 0;
  qsizetype pos = 0;
  while (pos < size) {
    qsizetype end = pos;
    while (end < size && !IsLineEnd(data[end])) ++end;
    if (end + 1 < size && data[end] == u'\r' && data[end + 1] == u'\n') {
      pos = end + 2;
      continue;
    }
    sink(QStringView(data + pieceBegin, end - pieceBegin));
    sink(kCrLf);
    pos = end < size ? end + 1 : size;
    pieceBegin = pos;
  }
  if (pieceBegin < size) sink(QStringView(data + pieceBegin, size - pieceBegin));
}

QString IniDocument::Serialize() const {
  QString text;
  text.reserve(text_.size() + text_.size() / 8 + 2);
  SerializeTo([&text](QStringView piece) { text += piece; });
  return text;
}

std::optional<IniDocument::Section> IniDocument::FindSection(QStringView section) const {
  const QStringView wanted = TrimBlanksAndTabs(section);
  const qsizetype size = text_.size();
  for (qsizetype pos = 0; pos < size;) {
    const Line line = LineAt(pos);
    pos = line.next;
    if (line.kind != Kind::Section || !SameName(line.name, wanted)) continue;
    Section found{line, size};
    while (pos < size) {
      const Line next = LineAt(pos);
      if (next.kind == Kind::Section) {
        found.end = next.begin;
        break;
      }
      pos = next.next;
    }
    return found;
  }
  return std::nullopt;
}

std::optional<IniDocument::Line> IniDocument::FindEntry(const Section& section, QStringView entry) const {
  const QStringView wanted = TrimBlanksAndTabs(entry);
  for (qsizetype pos = section.header.next; pos < section.end;) {
    const Line line = LineAt(pos);
    if (line.kind == Kind::Entry && SameName(line.name, wanted)) return line;
    pos = line.next;
  }
  return std::nullopt;
}

std::optional<QString> IniDocument::Value(QStringView section, QStringView entry) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto line = FindEntry(*range, entry);
  if (!line) return std::nullopt;
  return EntryValue(QStringView(text_).mid(line->begin, line->end - line->begin));
}

void IniDocument::ForEachEntry(QStringView section,
                               const std::function<void(QStringView, const QString&)>& visit) const {
  const auto range = FindSection(section);
  if (!range) return;
  for (qsizetype pos = range->header.next; pos < range->end;) {
    const Line line = LineAt(pos);
    if (line.kind == Kind::Entry)
      visit(line.name, EntryValue(QStringView(text_).mid(line.begin, line.end - line.begin)));
    pos = line.next;
  }
}

void IniDocument::Splice(qsizetype pos, qsizetype length, QStringView replacement) {
  const qsizetype oldSize = text_.size();
  const qsizetype newSize = oldSize - length + replacement.size();
  const qsizetype tail = oldSize - pos - length;
  // Growing stays in place while the text has room (a file read leaves some), else the text moves once.
  if (newSize > oldSize) text_.resize(newSize);
  QChar* data = text_.data();
  std::memmove(data + pos + replacement.size(), data + pos + length,
               static_cast<size_t>(tail) * sizeof(QChar));
  if (!replacement.isEmpty()) {
    std::memcpy(data + pos, replacement.data(), static_cast<size_t>(replacement.size()) * sizeof(QChar));
  }
  if (newSize < oldSize) text_.resize(newSize);
}

bool IniDocument::Set(QStringView section, QStringView entry, const std::optional<QString>& value) {
  std::optional<QString> clean = value;
  if (clean) {
    clean->replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    clean->replace(u'\r', u' ');
    clean->replace(u'\n', u' ');
  }
  const QString entryName = TrimBlanksAndTabs(entry).toString();
  const auto range = FindSection(section);
  if (!range) {
    if (!clean) return false;
    QString added;
    if (!text_.isEmpty() && !IsLineEnd(text_.back())) added += QStringLiteral("\r\n");
    added += u'[' + TrimBlanksAndTabs(section).toString() + QStringLiteral("]\r\n") + entryName + u'=' +
             *clean + QStringLiteral("\r\n");
    Splice(text_.size(), 0, added);
    return true;
  }
  if (const auto found = FindEntry(*range, entry)) {
    if (!clean) {
      // The line goes with the line end before it (an entry always follows its section's header), so
      // the line ends around it never run together: "a CR, x LF, LF" must not become "a CR LF".
      qsizetype from = found->begin - 1;
      if (text_.at(from) == u'\n' && from > 0 && text_.at(from - 1) == u'\r') --from;
      Splice(from, found->end - from, {});
      return true;
    }
    const QString text = found->name.toString() + u'=' + *clean;
    if (QStringView(text) == QStringView(text_).mid(found->begin, found->end - found->begin)) return false;
    Splice(found->begin, found->end - found->begin, text);
    return true;
  }
  if (!clean) return false;
  // A new entry goes right after the last entry line of the section, or after its header.
  qsizetype insertAt = range->header.end;
  for (qsizetype pos = range->header.next; pos < range->end;) {
    const Line line = LineAt(pos);
    if (line.kind == Kind::Entry) insertAt = line.end;
    pos = line.next;
  }
  Splice(insertAt, 0, QString(QStringLiteral("\r\n") + entryName + u'=' + *clean));
  return true;
}
