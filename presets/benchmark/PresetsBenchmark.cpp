// Times the database update as a user feels it: the whole silent run of the built program, from process
// start to exit, on a project with N template records and N matching old records; the update alone
// (WorkOnMDB inside a process); and the floor: plain SQLite doing the same table work set-based in one
// transaction (copy the template into a fresh table, take the five values over with one UPDATE through an
// indexed key join), then the same safe file copy of the source over the project database. Each figure
// is the best of several runs; the peak memory is the whole program's.
//
// Usage: presets_benchmark [--runs R] [N ...]
//        presets_benchmark --layout FOLDER N   lays out one installation and prints a hyperfine command

#include "framework/CommandLine.h"
#include "framework/HeapGrowth.h"
#include "framework/Installation.h"
#include "framework/ProjectContext.h"
#include "presets/Database.h"
#include "presets/FileOps.h"
#include "presets/WorkOnMdb.h"
#include "presets/benchmark/BenchmarkProject.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

[[noreturn]] void Fail(const char* what, int n) {
  std::fprintf(stderr, "%s (%d records)\n", what, n);
  std::exit(1);
}

struct Measurement {
  double seconds = 0;
  double peakMiB = 0;
};

// Waits for the child and returns its resource usage; fails unless it ended with status 0.
rusage WaitFor(pid_t child, int n) {
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    Fail("the run failed", n);
  }
  return usage;
}

// The whole run: the built program started silently on the installation, timed from start to exit.
Measurement RunProgram(const BenchmarkProject& project) {
  project.Restore();
  const QByteArray program = QFile::encodeName(project.program());
  const QByteArray log = QFile::encodeName(project.serviceLog());
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    setenv("HALVEK_SERVICE_LOG", log.constData(), 1);
    execl(program.constData(), program.constData(), "EXTERNAL=SILENT", static_cast<char*>(nullptr));
    _exit(127);
  }
  const rusage usage = WaitFor(child, project.records());
  const double seconds = Seconds(Clock::now() - start);
  if (BenchmarkProject::TakenOver(project.project()) != project.records()) {
    Fail("the program did not take every value over", project.records());
  }
  return {seconds, usage.ru_maxrss / 1024.0};
}

// The update alone: WorkOnMDB in a child process made with fork, timed inside it.
Measurement RunUpdate(const BenchmarkProject& project) {
  project.Restore();
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) Fail("no pipe", project.records());
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    qputenv("HALVEK_SERVICE_LOG", QFile::encodeName(project.serviceLog()));
    QuietPort port;
    ProjectContext context(ProgramLocation(project.programFolder(), QStringLiteral("Documentation_Config")),
                           GetStartModeIntegrated(QStringLiteral("EXTERNAL=SILENT")), port);
    GetExistingMachines(context, GetQVZConfigurationIniPath(context));
    ReadProjectConfiguration(context);
    const auto start = Clock::now();
    WorkOnMDB(context);
    const double seconds = context.errors.AnyErrorHandled() ? -1 : Seconds(Clock::now() - start);
    const bool written = write(pipeEnds[1], &seconds, sizeof seconds) == sizeof seconds;
    _exit(written ? 0 : 1);
  }
  close(pipeEnds[1]);
  double seconds = -1;
  const bool read = ::read(pipeEnds[0], &seconds, sizeof seconds) == sizeof seconds;
  close(pipeEnds[0]);
  const rusage usage = WaitFor(child, project.records());
  if (!read || seconds < 0) Fail("the update reported an error", project.records());
  if (BenchmarkProject::TakenOver(project.project()) != project.records()) {
    Fail("the update did not take every value over", project.records());
  }
  return {seconds, usage.ru_maxrss / 1024.0};
}

// The floor: plain SQLite, then the safe file copy of the source over the project database.
Measurement RunFloor(const BenchmarkProject& project) {
  project.RestoreFloor();
  const auto start = Clock::now();
  {
    db::Connection connection = db::Connection::Open(project.floorSource());
    db::Statement attach = connection.Prepare(QStringLiteral("ATTACH DATABASE ?1 AS old"));
    attach.BindText(1, project.floorProject());
    attach.Step();
    db::Transaction transaction(connection);
    connection.Exec(
        QStringLiteral(
            "DROP TABLE PRESET_DEFS;"
            "CREATE TABLE PRESET_DEFS (%1);"
            "INSERT INTO PRESET_DEFS SELECT * FROM Source_PRESET_DEFS ORDER BY ID;"
            "CREATE TEMP TABLE o AS SELECT machine_type, var_name, offset_or_bitno, abs_min, abs_max, "
            "min, max, pass FROM old.PRESET_DEFS;"
            "CREATE INDEX temp.o_key ON o (machine_type COLLATE NOCASE, var_name COLLATE NOCASE, "
            "offset_or_bitno);"
            "UPDATE PRESET_DEFS AS n SET abs_min = o.abs_min, abs_max = o.abs_max, min = o.min, "
            "max = o.max, pass = o.pass FROM o WHERE o.machine_type = n.machine_type COLLATE NOCASE "
            "AND o.var_name = n.var_name COLLATE NOCASE AND o.offset_or_bitno = n.offset_or_bitno;")
            .arg(QLatin1String(kBenchmarkFields)));
    transaction.Commit();
  }
  CopyFileAtomically(project.floorSource(), project.floorProject());
  const double seconds = Seconds(Clock::now() - start);
  if (BenchmarkProject::TakenOver(project.floorProject()) != project.records()) {
    Fail("the floor did not take every value over", project.records());
  }
  return {seconds, 0};
}

// The best of several runs: the machine is shared, and the least disturbed run is the closest to the
// work itself.
template <class Run>
Measurement Best(int runs, Run&& run) {
  Measurement best{1e300, 0};
  for (int i = 0; i < runs; ++i) {
    const Measurement m = run();
    if (m.seconds < best.seconds) best = m;
  }
  return best;
}

void PrintMachine() {
  QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
  QByteArray model = "unknown CPU";
  if (cpuinfo.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : cpuinfo.readAll().split('\n')) {
      if (line.startsWith("model name")) {
        model = line.mid(line.indexOf(':') + 1).trimmed();
        break;
      }
    }
  }
  std::printf("machine: %ld cores (nproc), %s\n", sysconf(_SC_NPROCESSORS_ONLN), model.constData());
}

void Measure(int n, int runs) {
  QTemporaryDir dir;
  const BenchmarkProject project(dir.path(), n, QStringLiteral(QVZ_PROGRAM));
  const Measurement whole = Best(runs, [&] { return RunProgram(project); });
  const Measurement update = Best(runs, [&] { return RunUpdate(project); });
  const Measurement floor = Best(runs, [&] { return RunFloor(project); });
  std::printf("%9d  %13.3f  %10.3f  %9.3f  %10.1fx  %17.1f\n", n, whole.seconds, update.seconds,
              floor.seconds, whole.seconds / floor.seconds, whole.peakMiB);
  std::fflush(stdout);
}

// Lays out one installation that stays, for timing the program with other tools.
int LayOut(const QString& folder, int n) {
  QDir().mkpath(folder);
  const BenchmarkProject project(QDir(folder).absolutePath(), n, QStringLiteral(QVZ_PROGRAM));
  const QString pristine = QDir(folder).absolutePath() + QStringLiteral("/pristine/");
  std::printf("hyperfine --prepare 'cp %s %s && cp %s %s' 'env HALVEK_SERVICE_LOG=%s %s EXTERNAL=SILENT'\n",
              qPrintable(pristine + QStringLiteral("source.mdb")), qPrintable(project.source()),
              qPrintable(pristine + QStringLiteral("project.mdb")), qPrintable(project.project()),
              qPrintable(project.serviceLog()), qPrintable(project.program()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  GrowHeapInLargeSteps();  // as the program does: the update alone and the floor run as in it
  if (argc == 4 && std::strcmp(argv[1], "--layout") == 0) {
    return LayOut(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
  }
  int runs = 0;
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else {
      sizes.push_back(std::atoi(argv[i]));
    }
  }
  if (sizes.empty()) sizes = {10000, 100000, 1000000};
  PrintMachine();
  std::printf("  records  whole run [s]  update [s]  floor [s]  whole/floor  peak memory [MiB]\n");
  // Unless told otherwise, small sizes are run three times and a million records once.
  for (int n : sizes) Measure(n, runs > 0 ? runs : (n > 100000 ? 1 : 3));
  return 0;
}
