#include "framework/Text.h"

#include <QLocale>

QString UCase(const QString& text) {
  QString upper = text;
  for (QChar& c : upper) c = c.toUpper();
  return upper;
}

QString TrimBlanks(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text.at(begin) == u' ') ++begin;
  while (end > begin && text.at(end - 1) == u' ') --end;
  return text.mid(begin, end - begin);
}

QString NumberText(double value) {
  return QLocale::c().toString(value, 'g', 15);
}
