#include "core/FieldRules.h"

#include "framework/Text.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {
constexpr char16_t kFirstDrive = u'G';
constexpr char16_t kLastDrive = u'X';
constexpr int kShortestCut = 3;  // a separator within the first three characters belongs to "\\x"
}  // namespace

QString CutFileNameOnce(const QString& text) {
  // Positions counted from 1, 0 when absent; both separators count (paths may come from Linux).
  const int separator = static_cast<int>(std::max(text.lastIndexOf(u'\\'), text.lastIndexOf(u'/'))) + 1;
  const int point = static_cast<int>(text.lastIndexOf(u'.')) + 1;
  if (point > separator && separator > kShortestCut) return text.left(separator - 1);
  return text;
}

QString NetAddressFolder(const QString& text) {
  QString current = text;
  for (QString cut = CutFileNameOnce(current); cut != current; cut = CutFileNameOnce(current)) {
    current = cut;
  }
  return current;
}

DriveCheck CheckDrive(const QString& text) {
  const QString upper = UCase(text);
  if (upper.size() != 1) return {QStringLiteral("X"), false};
  const char16_t code = upper.at(0).unicode();
  if (code < kFirstDrive || code > kLastDrive) return {QStringLiteral("X"), true};
  return {upper, false};
}

QString DefaultDrive(int netAddress) {
  return QString(QChar(char16_t(83 + netAddress)));
}

QStringList DriveLetters() {
  QStringList letters;
  for (char16_t c = kFirstDrive; c <= kLastDrive; ++c) letters << QString(QChar(c));
  return letters;
}

QString DialogStartFolder(const QString& preset, const QString& fallback) {
  QString candidate = preset;
  candidate.replace(u'\\', u'/');
  if (candidate.isEmpty() || !QDir::isAbsolutePath(candidate)) return fallback;
  for (;;) {
    const QFileInfo info(candidate);
    if (info.isRoot()) break;
    if (info.isDir()) return info.absoluteFilePath();
    const QString parent = info.path();
    if (parent == candidate) break;
    candidate = parent;
  }
  return fallback;
}

bool IsUncPath(const QString& path) {
  return path.startsWith(QStringLiteral("\\\\"));
}
