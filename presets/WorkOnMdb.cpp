#include "presets/WorkOnMdb.h"

#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/IniAccess.h"
#include "framework/Installation.h"
#include "framework/Text.h"
#include "framework/TextFile.h"
#include "presets/Database.h"
#include "presets/FileOps.h"
#include "presets/PreviousDatabase.h"
#include "presets/ProjectDatabaseHold.h"
#include "presets/ProjectLock.h"
#include "presets/ProjectReplacement.h"
#include "presets/SourceUpdate.h"
#include "presets/UpdateReport.h"
#include "presets/VarNameTemplates.h"
#include "presets/WorkingCopy.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

int16_t VisiWinSystemIndex(const ProjectContext& context) {
  return !context.mode.integrated && context.project.vwStudio ? 1 : 0;
}

namespace {

// The notice of integrated mode when the host holds no machine copy of the database.
QString MissingMachineCopyNotice(const QString& projectPath) {
  return QStringLiteral("Konnte die Datei:") + QLatin1Char('"') + GetFileNameOnly(projectPath) +
         QLatin1Char('"') + QStringLiteral(" in der Vorlage nicht finden!") + kCrLf + kCrLf +
         QStringLiteral("Ist das Bild in der Vorlage noch nicht vorhanden (also neu)?") + kCrLf +
         QStringLiteral(
             "Dann ist diese Meldung völlig normal und es wird eine neue Datei mit den Standardwerten "
             "erzeugt.");
}

QString ModeName(const StartMode& mode) {
  if (mode.integrated) return QStringLiteral("integrated");
  return mode.silent ? QStringLiteral("silent") : QStringLiteral("standalone");
}

// Where the report of the project's last update is kept: beside the project database.
QString ReportPath(const ProjectContext& context, const QString& projectPath) {
  return ExistingOrAsSpelled(QFileInfo(projectPath).absolutePath() + Sep() + context.location.GetOCXName() +
                             QStringLiteral("_Update.txt"));
}

// The scratch files of a dry run: the update works on copies there, so no file of the installation
// changes.
class DryRunScratch {
 public:
  explicit DryRunScratch(const QString& sourcePath) {
    if (!folder_.isValid()) {
      Raise(kErrFileAccess, QStringLiteral("The dry run has no scratch folder: ") + folder_.errorString());
    }
    source_ = folder_.filePath(QFileInfo(sourcePath).fileName());
    CopyDatabaseFilesQuickly(sourcePath, source_);
  }
  const QString& Source() const { return source_; }
  QString Folder() const { return folder_.path(); }

 private:
  QTemporaryDir folder_;
  QString source_;
};

// The working copy's place: a hidden file beside the project database, or in a dry run's scratch folder.
QString WorkingCopyPath(const QString& folder, const QString& projectPath) {
  if (projectPath.isEmpty()) return {};
  return folder + QStringLiteral("/.") + QFileInfo(projectPath).fileName() + QStringLiteral(".update");
}

}  // namespace

void WorkOnMDB(ProjectContext& context) {
  UpdateRun run(context);
  WorkOnMDB(run);
}

namespace {

// The update once the project is locked, with its report begun; gives the outcome for the report.
// How an update ended, for the report.
struct UpdateOutcome {
  QString text;
  bool replaced = false;  // the project database holds the new content (in a dry run: would hold it)
};

UpdateOutcome UpdateProject(UpdateRun& run, Trap& trap, const QString& sourcePath, const QString& projectPath,
                            const QString& takeoverPath, UpdateReport& report, UpdateCounts& counts) {
  ProjectContext& context = run.context;
  const bool dryRun = context.mode.dryRun;
  const int errorsBefore = context.errors.HandledErrors();
  auto notReplaced = [&](const QString& fallback) {
    const bool logged = context.errors.HandledErrors() > errorsBefore;
    return UpdateOutcome{QStringLiteral("the project database is not replaced: ") +
                         (logged ? context.errors.LastErrorLine() : fallback)};
  };
  const QString existingProject = ExistingOrAsSpelled(projectPath);
  const bool projectExists = FileExists(existingProject);

  // From here until it holds the new content, other programs may read the project database but none can
  // commit to it, so no commit of theirs is lost. A project database that cannot be held is not updated.
  // A dry run takes no hold: it reads copies of the files and changes nothing.
  std::optional<ProjectDatabaseHold> hold;
  if (!trap.Run([&] {
        if (!dryRun && projectExists && ProjectDatabaseHold::CanHold(existingProject))
          hold.emplace(existingProject);
      })) {
    return notReplaced(QStringLiteral("it cannot be held"));
  }
  std::optional<DryRunScratch> scratch;
  if (dryRun && !trap.Run([&] { scratch.emplace(sourcePath); })) {
    return notReplaced(QStringLiteral("the dry run has no scratch copy"));
  }
  const QString updatedSource = scratch ? scratch->Source() : sourcePath;

  // The source database's times, read before the update (none when the file was not writable).
  std::optional<FileTimes> sourceTimes;
  trap.Run([&] {
    if (!dryRun && CanOpenForWriting(sourcePath)) sourceTimes = ReadFileTimes(sourcePath);
  });

  bool complete = trap.Run([&] { run.varNameTemplates = ReadVarNameTemplates(updatedSource); });
  {
    // The renames and the takeover change a copy of that database: until the source replaces it whole,
    // the project database stays as it was.
    const bool fromProject = hold && takeoverPath == projectPath;
    const QString copyFolder = scratch ? scratch->Folder() : QFileInfo(existingProject).absolutePath();
    const WorkingCopy workingCopy(trap, takeoverPath, WorkingCopyPath(copyFolder, projectPath),
                                  fromProject ? &*hold : nullptr);
    // A dry run never opens an original: without a copy it takes no values over.
    const QString takeoverDatabase = dryRun ? workingCopy.Copy() : workingCopy.Path(projectPath);
    const SourceUpdate update =
        UpdateSourceDatabase(run, trap, updatedSource, workingCopy, takeoverDatabase, report);
    counts = Counts(update);
    complete = update.complete && complete;
  }

  // A preset table that could not be generated completely (a source that is no database, templates that
  // could not be read, a record that failed, an update that was not saved) must not replace the project
  // database: the project would lose its presets and the values set on the machine. The failure has
  // been reported already.
  UpdateOutcome outcome;
  if (!complete) {
    outcome = notReplaced(QStringLiteral("the new preset table is not complete"));
  } else {
    // The old content is kept first; when it cannot be, the project database stays as it is. The new
    // content goes into the held file through SQLite; a new file, or one that is no database, is
    // replaced as a file.
    const bool replaced = dryRun || trap.Run([&] {
      if (projectExists) KeepPreviousDatabase(hold ? &*hold : nullptr, existingProject);
      if (hold) {
        hold->ReplaceWith(sourcePath);
      } else {
        ReplaceProjectDatabase(sourcePath, existingProject);
      }
    });
    if (!replaced) {
      outcome = notReplaced(QStringLiteral("it could not be written"));
    } else if (projectExists) {
      outcome = {QStringLiteral("the project database is replaced; the one before is kept as ") +
                     ExistingOrAsSpelled(PreviousDatabasePath(existingProject)),
                 true};
    } else {
      outcome = {QStringLiteral("the project database is created"), true};
    }
  }
  hold.reset();

  if (sourceTimes) {
    trap.Run([&] {
      if (CanOpenForWriting(sourcePath)) RestoreFileTimes(sourcePath, *sourceTimes);
    });
  }
  return outcome;
}

// The line on standard error when old records lost their values: easy to miss in a report no one opens.
void WarnOfLostValues(const ProjectContext& context, int64_t unmatched, const QString& reportPath) {
  if (unmatched <= 0) return;
  if (context.mode.dryRun) {
    PrintLine(stderr, QStringLiteral("%1 old records would lose their values (listed in the report above).")
                          .arg(unmatched));
    return;
  }
  PrintLine(stderr, QStringLiteral("%1 old records lost their values; they are listed in %2, and "
                                   "Documentation_Config --restore puts the project database back.")
                        .arg(unmatched)
                        .arg(reportPath));
}

// The database whose values are taken over: the project database, in integrated mode the machine copy
// (when the host holds none, the user is told and the project database gives the values).
QString TakeoverPath(ProjectContext& context, Trap& trap, const UpdateDatabasePaths& paths) {
  QString takeoverPath = paths.project;
  if (!context.mode.integrated) return takeoverPath;
  if (trap.If([&] { return paths.machineCopy.isEmpty() || !FileExists(paths.machineCopy); })) {
    context.port.ShowMessage(MissingMachineCopyNotice(paths.project), QString(), Icon::Information);
  } else {
    trap.Run([&] { takeoverPath = FindExistingFile(paths.machineCopy); });
  }
  return takeoverPath;
}

UpdateReportHeader ReportHeader(const UpdateRun& run, Trap& trap, const UpdateDatabasePaths& paths,
                                const QString& takeoverPath) {
  const ProjectContext& context = run.context;
  UpdateReportHeader header;
  header.when = QDateTime::currentDateTime();
  header.dryRun = context.mode.dryRun;
  header.mode = ModeName(context.mode);
  header.source = paths.source;
  header.project = ExistingOrAsSpelled(paths.project);
  trap.Run([&] { header.valuesFrom = FindExistingFile(takeoverPath); });
  header.activeSystem =
      run.visiWinSystemIndex != 0 ? QStringLiteral("VISIWINSTUDIO") : QStringLiteral("VISIWIN32");
  return header;
}

}  // namespace

void WorkOnMDB(UpdateRun& run) {
  ProjectContext& context = run.context;
  Trap trap(context.errors, QStringLiteral("WorkOnMDB"));

  UpdateDatabasePaths paths;
  trap.Run([&] { paths = GetUpdateDatabasePaths(context); });
  run.visiWinSystemIndex = VisiWinSystemIndex(context);
  if (paths.source.isEmpty()) return;
  std::optional<RunLock> lock;
  if (!trap.Run([&] { LockProject(lock, run.lockWait, ExistingOrAsSpelled(paths.project)); })) return;
  const QString takeoverPath = TakeoverPath(context, trap, paths);

  // The report: on standard output in a dry run, else in its file beside the project database, which
  // replaces the last report once this one is complete.
  const QString reportPath = ReportPath(context, paths.project);
  std::optional<UpdateReportFile> reportFile;
  if (!context.mode.dryRun) reportFile.emplace(reportPath);
  UpdateReport report([&](const QString& line) {
    if (reportFile) {
      reportFile->Line(line);
    } else {
      PrintLine(stdout, line);
    }
  });
  report.Begin(ReportHeader(run, trap, paths, takeoverPath));

  UpdateCounts counts;
  UpdateOutcome outcome;
  // An error that ends the program during the update still ends the report, with what was done.
  auto finish = [&] {
    report.End(counts, outcome.text);
    if (reportFile) {
      trap.Run([&] {
        const FileResult written = reportFile->Commit();
        if (!written) Raise(kErrFileAccess, AccessFailure(reportPath, written.reason));
      });
    }
  };
  try {
    outcome = UpdateProject(run, trap, paths.source, paths.project, takeoverPath, report, counts);
  } catch (const ProgramEnd&) {
    outcome.text = QStringLiteral("the update was ended, the project database is not replaced: ") +
                   context.errors.LastErrorLine();
    finish();
    throw;
  }
  finish();
  if (outcome.replaced) WarnOfLostValues(context, counts.unmatched, reportPath);
}
