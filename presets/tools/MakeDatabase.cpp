// make_database <out.mdb> <in.sql>: creates a fresh database file from SQL text.

#include "framework/ErrorTrap.h"
#include "presets/DatabaseScript.h"

#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_database <out.mdb> <in.sql>\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QFile in(QString::fromLocal8Bit(argv[2]));
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "make_database: cannot read %s\n", argv[2]);
    return 1;
  }
  try {
    CreateDatabaseFromSql(out, in.readAll());
  } catch (const AppError& e) {
    std::fprintf(stderr, "make_database: %s: %s (%d)\n", argv[2], e.description.toLocal8Bit().constData(),
                 e.number);
    QFile::remove(out);
    return 1;
  }
  return 0;
}
