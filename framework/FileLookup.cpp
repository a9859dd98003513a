#include "framework/FileLookup.h"

#include "framework/Platform.h"

#include <QDir>
#include <QFileInfo>

QString Sep() {
  return platform::PathSeparator();
}

bool EndsInSeparator(const QString& path) {
  return path.endsWith(u'\\') || path.endsWith(u'/');
}

QString NativePath(const QString& path) {
  return platform::NativeSeparators(path);
}

namespace {

bool IsRegularFile(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && info.isFile();
}

// Finds the regular file whose path components match those given, each one exactly or else without
// regard to case; tries every matching spelling, since a folder may exist in two spellings.
QString MatchComponents(const QString& folder, const QStringList& parts, qsizetype index) {
  if (index == parts.size()) return IsRegularFile(folder) ? folder : QString();
  const QString& part = parts[index];
  if (part.isEmpty()) return MatchComponents(folder, parts, index + 1);
  const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
  QStringList candidates{part};
  for (const QString& name :
       dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
    if (name != part && name.compare(part, Qt::CaseInsensitive) == 0) candidates << name;
  }
  for (const QString& name : candidates) {
    const QString next = folder.isEmpty() ? name : dir.filePath(name);
    if (!QFileInfo::exists(next)) continue;
    const QString found = MatchComponents(next, parts, index + 1);
    if (!found.isEmpty()) return found;
  }
  return {};
}

// Matches the components below within (when the path lies there) or all of them: the folders above a
// project, found from the running program, are as they are spelled, and listing them (a large /tmp or
// home) for every missing file would cost the most.
QString MatchWithoutCase(const QString& path, const QString& within) {
  const QString normal = QDir::fromNativeSeparators(path);
  const QString folder = QDir::fromNativeSeparators(within);
  if (!folder.isEmpty() && normal.startsWith(folder + u'/') && QFileInfo(folder).isDir()) {
    return MatchComponents(folder, normal.mid(folder.size() + 1).split(u'/'), 0);
  }
  return MatchComponents(normal.startsWith(u'/') ? QStringLiteral("/") : QString(), normal.split(u'/'), 0);
}

}  // namespace

QString FindExistingFile(const QString& path, const QString& within) {
  if (path.isEmpty()) return {};
  if (IsRegularFile(path)) return path;
  const QString matched = MatchWithoutCase(path, within);
  return !matched.isEmpty() && IsRegularFile(matched) ? QDir::toNativeSeparators(matched) : QString();
}

bool FileExists(const QString& path, const QString& within) {
  return !FindExistingFile(path, within).isEmpty();
}

QString ExistingOrAsSpelled(const QString& path, const QString& within) {
  const QString existing = FindExistingFile(path, within);
  return existing.isEmpty() ? path : existing;
}
