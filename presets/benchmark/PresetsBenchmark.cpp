// Times the whole database update (WorkOnMDB) on synthetic databases of 1,000, 10,000 and 100,000 preset
// records, and the floor: plain SQLite doing the same table work set-based in one transaction (copy the
// template into a fresh table, take the five values over with one UPDATE through a key join).
// Each size runs in a child process, so its peak memory (ru_maxrss) is its own.
//
// Usage: presets_benchmark [N ...]

#include "framework/CommandLine.h"
#include "framework/Installation.h"
#include "framework/ProjectContext.h"
#include "presets/Database.h"
#include "presets/DatabaseScript.h"
#include "presets/WorkOnMdb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char* const kFields =
    "ID INTEGER, machine_type TEXT(50), type INTEGER, part INTEGER, var_name TEXT(255), category_id INTEGER, "
    "isBitArray INTEGER, offset_or_bitno INTEGER, text TEXT(255), page_name TEXT(50), abs_min DOUBLE, "
    "abs_max DOUBLE, min DOUBLE, max DOUBLE, pass INTEGER";

// Template records 1..n (IDs permuted, so the update has to sort), both systems' name templates for two
// parts, and a stale PRESET_DEFS. With resolved = true the template already holds the resolved keys (for
// the floor, which resolves nothing).
QByteArray SourceSql(int n, bool resolved) {
  const QString machine = resolved ? QStringLiteral("'M1'") : QStringLiteral("'###machine'");
  const QString varName = resolved ? QStringLiteral(
                                         "CASE WHEN i % 2 = 0 THEN 'Var' || i || '_M1' "
                                         "ELSE 'M1_Var' || i || '_M1' END")
                                   : QStringLiteral("'Var' || i || '_###machine'");
  return QStringLiteral(
             "PRAGMA synchronous=OFF;"
             "CREATE TABLE Source_DEFS (ID INTEGER, System TEXT(20), Part INTEGER, Var_Name TEXT(255));"
             "INSERT INTO Source_DEFS VALUES (1, 'VISIWIN32', 1, '###Var_Name'), "
             "(2, 'VISIWIN32', 2, '###machine_###Var_Name'), (3, 'VISIWINSTUDIO', 1, "
             "'###machine.###Var_Name'), "
             "(4, 'VISIWINSTUDIO', 2, '###machine.Docu.###Var_Name');"
             "CREATE TABLE Source_PRESET_DEFS (%1);"
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
             "INSERT INTO Source_PRESET_DEFS SELECT (i * 7919) % %2 + 1, %3, 1, 1 + (i % 2), %4, i % 10, 0, "
             "i, "
             "'Text of ' || i || ' on ###machine', 'Page' || (i % 20), 0, 100, 0, 100, 1 FROM n;"
             "CREATE TABLE PRESET_DEFS (%1);"
             "INSERT INTO PRESET_DEFS SELECT * FROM Source_PRESET_DEFS;")
      .arg(QLatin1String(kFields))
      .arg(n)
      .arg(machine, varName)
      .toUtf8();
}

// The project database: the same tables and n old records that all match a generated record. Half of
// them carry the other system's name (renamed before the takeover), a quarter differ in case.
QByteArray ProjectSql(int n, bool resolved) {
  const QString varName =
      resolved ? QStringLiteral(
                     "CASE WHEN i % 4 = 0 THEN 'var' || i || '_m1' WHEN i % 2 = 0 THEN 'Var' || i || '_M1' "
                     "ELSE 'M1_Var' || i || '_M1' END")
               : QStringLiteral(
                     "CASE WHEN i % 4 = 0 THEN 'var' || i || '_m1' WHEN i % 2 = 0 THEN 'Var' || i || '_M1' "
                     "ELSE 'M1.Docu.Var' || i || '_M1' END");
  return SourceSql(n, resolved) +
         QStringLiteral(
             "DELETE FROM PRESET_DEFS;"
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
             "INSERT INTO PRESET_DEFS SELECT i, 'm1', 1, 1 + (i % 2), %2, i % 10, 0, i, "
             "'old', 'Page', 5, 200, 10, 150, 4 FROM n;")
             .arg(n)
             .arg(varName)
             .toUtf8();
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

int64_t CountTakenOver(const QString& path) {
  db::Connection connection = db::Connection::Open(path);
  db::Statement count = connection.Prepare(QStringLiteral("SELECT count(*) FROM PRESET_DEFS WHERE pass = 4"));
  count.Step();
  return count.ColumnInt(0);
}

double RunUpdate(const QTemporaryDir& dir, int n) {
  const QString base = dir.path() + QStringLiteral("/base");
  const QString component = base + QStringLiteral("/Documentation");
  QDir().mkpath(base + QStringLiteral("/program"));
  QDir().mkpath(component);
  QDir().mkpath(base + QStringLiteral("/parameter"));
  QFile cfg(component + QStringLiteral("/Documentation.cfg"));
  cfg.open(QIODevice::WriteOnly);
  cfg.write("[Project]\r\nForMachine1=TRUE\r\n");
  cfg.close();
  QFile ini(base + QStringLiteral("/parameter/Program.ini"));
  ini.open(QIODevice::WriteOnly);
  ini.write("[Project]\r\nNumberOfMachines=1\r\nVWStudio=FALSE\r\n[Machine1]\r\nMachineName=M1\r\n");
  ini.close();
  qputenv("HALVEK_SERVICE_LOG", (dir.path() + QStringLiteral("/service.log")).toLocal8Bit());
  QuietPort port;
  ProjectContext context(
      ProgramLocation(base + QStringLiteral("/program"), QStringLiteral("Documentation_Config")),
      GetStartModeIntegrated(QStringLiteral("EXTERNAL=SILENT")), port);
  GetExistingMachines(context, GetQVZConfigurationIniPath(context));
  ReadProjectConfiguration(context);

  const QString source = component + QStringLiteral("/Documentation_Source.mdb");
  const QString project = component + QStringLiteral("/Documentation.mdb");
  CreateDatabaseFromSql(source, SourceSql(n, false));
  CreateDatabaseFromSql(project, ProjectSql(n, false));

  const auto start = std::chrono::steady_clock::now();
  WorkOnMDB(context);
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  const int64_t takenOver = CountTakenOver(project);
  if (takenOver != n || context.errors.AnyErrorHandled()) {
    std::fprintf(stderr, "update of %d records took over %lld values (errors: %d)\n", n,
                 static_cast<long long>(takenOver), context.errors.AnyErrorHandled());
    std::exit(1);
  }
  return seconds;
}

double RunFloor(const QTemporaryDir& dir, int n) {
  const QString source = dir.path() + QStringLiteral("/floor_source.db");
  const QString project = dir.path() + QStringLiteral("/floor_project.db");
  CreateDatabaseFromSql(source, SourceSql(n, true));
  CreateDatabaseFromSql(project, ProjectSql(n, true));

  const auto start = std::chrono::steady_clock::now();
  {
    db::Connection connection = db::Connection::Open(source);
    connection.Exec(QStringLiteral("ATTACH DATABASE '%1' AS old").arg(project));
    connection.Exec(
        QStringLiteral(
            "BEGIN;"
            "DROP TABLE PRESET_DEFS;"
            "CREATE TABLE PRESET_DEFS (%1);"
            "INSERT INTO PRESET_DEFS SELECT * FROM Source_PRESET_DEFS ORDER BY ID;"
            "CREATE TEMP TABLE o AS SELECT machine_type, var_name, offset_or_bitno, abs_min, abs_max, "
            "min, max, pass FROM old.PRESET_DEFS;"
            "CREATE INDEX temp.o_key ON o (machine_type COLLATE NOCASE, var_name COLLATE NOCASE, "
            "offset_or_bitno);"
            "UPDATE PRESET_DEFS AS n SET abs_min = o.abs_min, abs_max = o.abs_max, min = o.min, "
            "max = o.max, pass = o.pass FROM o WHERE o.machine_type = n.machine_type COLLATE NOCASE "
            "AND o.var_name = n.var_name COLLATE NOCASE AND o.offset_or_bitno = n.offset_or_bitno;"
            "COMMIT;")
            .arg(QLatin1String(kFields)));
  }
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  if (CountTakenOver(source) != n) {
    std::fprintf(stderr, "floor of %d records did not take every value over\n", n);
    std::exit(1);
  }
  return seconds;
}

// One size in a child process; prints one table row.
void Measure(int n) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    QTemporaryDir dir;
    const double update = RunUpdate(dir, n);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double floor = RunFloor(dir, n);
    std::printf("%9d  %10.3f  %9.3f  %6.1fx  %14.1f\n", n, update, floor, update / floor,
                usage.ru_maxrss / 1024.0);
    std::fflush(stdout);
    std::_Exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "measuring %d records failed\n", n);
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 10000, 100000};
  std::printf("  records  update [s]  floor [s]  update/floor  peak memory [MiB]\n");
  for (int n : sizes) Measure(n);
  return 0;
}
