#include "framework/IniDocument.h"

namespace {

bool IsBlank(QChar c) {
  return c == u' ' || c == u'\t';
}

QStringView TrimBlanksAndTabs(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text.at(begin))) ++begin;
  while (end > begin && IsBlank(text.at(end - 1))) --end;
  return text.mid(begin, end - begin);
}

bool SameName(QStringView a, QStringView b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The value part of an entry line: trimmed, and one pair of matching outer quotes removed.
QString EntryValue(const QString& line) {
  const qsizetype eq = line.indexOf(u'=');
  if (eq < 0) return {};
  QStringView value = TrimBlanksAndTabs(QStringView(line).mid(eq + 1));
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.mid(1, value.size() - 2);
  }
  return value.toString();
}

}  // namespace

IniDocument::Line IniDocument::Classify(const QString& text) {
  Line line{text, Kind::Other, {}};
  const QStringView trimmed = TrimBlanksAndTabs(text);
  if (trimmed.isEmpty()) return line;
  if (trimmed.front() == u';') {
    line.kind = Kind::Comment;
  } else if (trimmed.front() == u'[' && trimmed.indexOf(u']') > 0) {
    line.kind = Kind::Section;
    line.name = TrimBlanksAndTabs(trimmed.mid(1, trimmed.indexOf(u']') - 1)).toString();
  } else {
    // Like the Windows functions, a line without "=" inside a section is an entry without a value.
    line.kind = Kind::Entry;
    const qsizetype eq = trimmed.indexOf(u'=');
    line.name = TrimBlanksAndTabs(eq < 0 ? trimmed : trimmed.left(eq)).toString();
  }
  return line;
}

IniDocument IniDocument::Parse(const QString& text) {
  IniDocument doc;
  qsizetype start = 0;
  const qsizetype size = text.size();
  while (start < size) {
    qsizetype end = start;
    while (end < size && text.at(end) != u'\r' && text.at(end) != u'\n') ++end;
    doc.lines_.push_back(Classify(text.mid(start, end - start)));
    if (end < size && text.at(end) == u'\r' && end + 1 < size && text.at(end + 1) == u'\n') ++end;
    start = end + 1;
  }
  return doc;
}

QString IniDocument::Serialize() const {
  QString text;
  for (const Line& line : lines_) {
    text += line.text;
    text += QStringLiteral("\r\n");
  }
  return text;
}

std::optional<std::pair<size_t, size_t>> IniDocument::FindSection(QStringView section) const {
  const QStringView wanted = TrimBlanksAndTabs(section);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind != Kind::Section || !SameName(lines_[i].name, wanted)) continue;
    size_t end = i + 1;
    while (end < lines_.size() && lines_[end].kind != Kind::Section) ++end;
    return std::make_pair(i, end);
  }
  return std::nullopt;
}

std::optional<size_t> IniDocument::FindEntry(size_t begin, size_t end, QStringView entry) const {
  const QStringView wanted = TrimBlanksAndTabs(entry);
  for (size_t i = begin; i < end; ++i) {
    if (lines_[i].kind == Kind::Entry && SameName(lines_[i].name, wanted)) return i;
  }
  return std::nullopt;
}

std::optional<QString> IniDocument::Value(QStringView section, QStringView entry) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto line = FindEntry(range->first + 1, range->second, entry);
  if (!line) return std::nullopt;
  return EntryValue(lines_[*line].text);
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
    lines_.push_back(
        Classify(QStringLiteral("[") + TrimBlanksAndTabs(section).toString() + QStringLiteral("]")));
    lines_.push_back(Classify(entryName + u'=' + *clean));
    return true;
  }
  const auto [header, end] = *range;
  if (const auto found = FindEntry(header + 1, end, entry)) {
    if (!clean) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*found));
      return true;
    }
    const QString text = lines_[*found].name + u'=' + *clean;
    if (text == lines_[*found].text) return false;
    lines_[*found] = Classify(text);
    return true;
  }
  if (!clean) return false;
  size_t insertAt = header + 1;
  for (size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == Kind::Entry) insertAt = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), Classify(entryName + u'=' + *clean));
  return true;
}
