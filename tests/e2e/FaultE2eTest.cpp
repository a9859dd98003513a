// Faults around the real program: folders it may not write, files that are no database, and a process
// killed in the middle of its work. Whatever happens, every file is either as it was or as a complete
// run leaves it.
#include "tests/e2e/E2eDatabase.h"
#include "tests/e2e/E2eSupport.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool RunTool(const QString& program, const QStringList& arguments) {
  QProcess tool;
  tool.start(program, arguments);
  return tool.waitForFinished(kRunTimeoutMs) && tool.exitStatus() == QProcess::NormalExit &&
         tool.exitCode() == 0;
}

bool CanCreateFileIn(const QString& folder) {
  QFile probe(folder + QStringLiteral("/.write-probe"));
  if (!probe.open(QIODevice::WriteOnly)) return false;
  probe.close();
  probe.remove();
  return true;
}

// Makes a folder and everything below it read-only while it lives. Root writes through permission
// bits, so as root the folder becomes a read-only bind mount of itself; otherwise every folder loses its
// write permission (files need none: every write goes through a new file and a rename).
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const QString& path) : path_(path) {
    if (geteuid() == 0) {
      if (RunTool(QStringLiteral("mount"), {QStringLiteral("--bind"), path_, path_})) {
        mounted_ = true;
        RunTool(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), path_});
      }
    } else {
      folders_ << path_;
      QDirIterator it(path_, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
      while (it.hasNext()) folders_ << it.next();
      for (const QString& folder : folders_) chmod(QFile::encodeName(folder).constData(), 0555);
    }
    active_ = !CanCreateFileIn(path_);
  }
  ~ReadOnlyFolder() {
    if (mounted_ && !RunTool(QStringLiteral("umount"), {path_})) {
      RunTool(QStringLiteral("umount"), {QStringLiteral("-l"), path_});
    }
    for (const QString& folder : folders_) chmod(QFile::encodeName(folder).constData(), 0755);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
  bool active() const { return active_; }

 private:
  QString path_;
  bool mounted_ = false;
  QStringList folders_;  // folders whose mode was changed
  bool active_ = false;
};

QMap<QString, QByteArray> FilesBelow(const InstallTree& tree, const QString& prefix) {
  QMap<QString, QByteArray> files;
  const QMap<QString, QByteArray> all = tree.Snapshot();
  for (auto it = all.begin(); it != all.end(); ++it) {
    if (it.key().startsWith(prefix)) files.insert(it.key(), it.value());
  }
  return files;
}

void WriteSettingsProject(InstallTree& tree) {
  tree.WriteProject({"Line1", "Line2"}, true);
  WriteBytes(tree.settings(), "[Machine1]\r\nReference1=C:\\Docs\\a.pdf\r\n[NetAddress]\r\nNetDrive1=g\r\n");
  WriteBytes(tree.languageIni(), "[frm_Quorvel_Exe]\r\n");
}

TEST(FaultE2eTest, ReadOnlyProgramFolderIsReportedAndLeavesItsFilesWhole) {
  InstallTree tree;
  WriteSettingsProject(tree);
  tree.Run({"EXTERNAL=SILENT"});  // the language INI is complete now
  WriteBytes(tree.settings(), "[Machine1]\r\nReference1=C:\\Docs\\a.pdf\r\n[NetAddress]\r\nNetDrive1=g\r\n");
  QFile::remove(tree.serviceLog());
  const QMap<QString, QByteArray> before = FilesBelow(tree, QStringLiteral("project/program/"));
  RunResult run;
  {
    ReadOnlyFolder readOnly(tree.program());
    if (!readOnly.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    run = tree.Run({"EXTERNAL=SILENT"});
  }
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(FilesBelow(tree, QStringLiteral("project/program/")) == before) << "program folder changed";
  const QByteArray report = "Path/File access error: " + tree.settings().toLocal8Bit();
  EXPECT_EQ(ReadBytes(tree.serviceLog()).count(report), 1) << ReadBytes(tree.serviceLog()).toStdString();
  // The rest of the run still happens.
  EXPECT_TRUE(ReadBytes(tree.cfg()).contains("[Info]\r\nS_Prog=1.0.1 - Standalone\r\n"));
}

TEST(FaultE2eTest, ReadOnlyBaseFolderIsReportedAndChangesNothing) {
  InstallTree tree;
  WriteSettingsProject(tree);
  ASSERT_EQ(MakeDatabase(tree.sourceDb(), SourceDatabaseSql({})), QString());
  ASSERT_EQ(MakeDatabase(tree.projectDb(), ProjectDatabaseSql({})), QString());
  tree.Run({"EXTERNAL=SILENT"});
  QFile::remove(tree.serviceLog());
  WriteBytes(tree.settings(), "[Machine1]\r\nReference1=C:\\Docs\\a.pdf\r\n[NetAddress]\r\nNetDrive1=g\r\n");
  const QMap<QString, QByteArray> before = FilesBelow(tree, QStringLiteral("project/"));
  RunResult run;
  {
    ReadOnlyFolder readOnly(tree.base());
    if (!readOnly.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    run = tree.Run({"EXTERNAL=SILENT"});
  }
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(FilesBelow(tree, QStringLiteral("project/")) == before)
      << "a file below the base folder changed";
  // The faults are reported in the service log, and what the error log cannot take goes to standard error.
  const QByteArray service = ReadBytes(tree.serviceLog());
  EXPECT_TRUE(service.contains("! Fault Documentation_Config: Unexpected error!")) << service.toStdString();
  EXPECT_TRUE(run.output.contains("Fehler in Documentation / ")) << run.output.toStdString();
}

// Polls until the condition holds or the time is up; true when it held.
template <class Condition>
bool WaitUntil(Condition condition, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > timeoutMs) return false;
    QThread::usleep(50);
  }
  return true;
}

ino_t Inode(const QString& path) {
  struct stat info {};
  return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// The INI files of a tree, by name.
QMap<QString, QByteArray> IniFiles(const InstallTree& tree) {
  return {{QStringLiteral("settings"), ReadBytes(tree.settings())},
          {QStringLiteral("cfg"), ReadBytes(tree.cfg())},
          {QStringLiteral("Program.ini"), ReadBytes(tree.programIni())}};
}

void ExpectOldOrNew(const QMap<QString, QByteArray>& now, const QMap<QString, QByteArray>& old,
                    const QMap<QString, QByteArray>& fresh) {
  for (auto it = now.begin(); it != now.end(); ++it) {
    EXPECT_TRUE(it.value() == old.value(it.key()) || it.value() == fresh.value(it.key()))
        << it.key().toStdString() << " is neither the old nor the new version:\n"
        << it.value().toStdString();
  }
}

TEST(FaultE2eTest, KilledWhileWritingTheSettingsLeavesEveryFileOldOrNew) {
  // A fresh project of five machines: the run writes 110 settings entries and the edit info.
  const QStringList machines = {"M1", "M2", "M3", "M4", "M5"};
  InstallTree reference;
  reference.WriteProject(machines, true);
  const QMap<QString, QByteArray> old = IniFiles(reference);
  ASSERT_EQ(reference.Run({"EXTERNAL=SILENT"}).status, 0);
  const QMap<QString, QByteArray> fresh = IniFiles(reference);

  for (int attempt = 0; attempt < 3; ++attempt) {
    SCOPED_TRACE(attempt);
    InstallTree tree;
    tree.WriteProject(machines, true);
    tree.Run({"EXTERNAL=SILENT"});  // seeds the language INI, so only the closing writes remain
    tree.WriteProject(machines, true);
    QFile::remove(tree.settings());
    const ino_t cfgInode = Inode(tree.cfg());
    const std::unique_ptr<QProcess> process = tree.Start({"EXTERNAL=SILENT"});
    ASSERT_TRUE(process);
    // Kill the moment the first settings file or edit info appears.
    WaitUntil([&] { return QFile::exists(tree.settings()) || Inode(tree.cfg()) != cfgInode; }, kRunTimeoutMs);
    process->kill();
    process->waitForFinished(kRunTimeoutMs);
    ExpectOldOrNew(IniFiles(tree), old, fresh);
  }
}

// Kills runs of a large update at several moments: the project database is always the old or the new
// one. Integrated runs take the values over from the host's machine copy, standalone ones from the
// project database itself.
void KillDuringTheUpdate(bool integrated) {
  constexpr int kRecords = 40000;
  const QStringList arguments =
      integrated ? QStringList{"EXTERNAL=QVZCFG", "/LOGFILE=cfg.log"} : QStringList{"EXTERNAL=SILENT"};
  const auto writeProject = [&](InstallTree& tree) {
    tree.WriteProject({"M1"}, true);
    WriteBytes(tree.hostProgramIni(), "[Project]\r\nVWFD=false\r\n");
    ASSERT_EQ(MakeDatabase(tree.sourceDb(), SourceDatabaseSql(GeneratedRows(
                                                QStringLiteral("Source_PRESET_DEFS"), kRecords, {}, true))),
              QString());
    // An older database to take the values from: the update renames its category field on the way.
    const QByteArray values = ProjectDatabaseSql(GeneratedRows(QStringLiteral("PRESET_DEFS"), kRecords,
                                                               QStringLiteral("M1"), false))
                                  .replace("category_id", "Categorie");
    ASSERT_EQ(MakeDatabase(integrated ? tree.machineCopy() : tree.projectDb(), values), QString());
    if (integrated) {
      ASSERT_EQ(
          MakeDatabase(tree.projectDb(), ProjectDatabaseSql(QStringLiteral(
                                             "INSERT INTO PRESET_DEFS VALUES (1, 'M1', 1, 1, 'Var1', 7, 0, "
                                             "1, 'project', 'Page', 7, 7, 7, 7, 7);\n"))),
          QString());
    }
  };
  InstallTree reference;
  writeProject(reference);
  const QStringList oldContent = DatabaseContent(reference.projectDb());
  const QMap<QString, QByteArray> oldIni = IniFiles(reference);
  QElapsedTimer timer;
  timer.start();
  ASSERT_EQ(reference.Run(arguments).status, 0) << ReadBytes(reference.errorLog()).toStdString();
  const qint64 runTime = timer.elapsed();
  const QStringList newContent = DatabaseContent(reference.projectDb());
  const QMap<QString, QByteArray> newIni = IniFiles(reference);
  ASSERT_TRUE(oldContent != newContent) << "the update changed nothing";

  // More records than a 16-bit count holds: every value is taken over.
  EXPECT_EQ(QueryRows(reference.projectDb(),
                      QStringLiteral("SELECT count(*), sum(abs_min = ID), max(abs_min) FROM PRESET_DEFS")),
            QStringList(QStringLiteral("%1|%1|%1.0").arg(kRecords)));

  int killedOld = 0;
  int killedNew = 0;
  for (const double share : {0.3, 0.5, 0.7, 0.85, 0.95}) {
    SCOPED_TRACE(share);
    InstallTree tree;
    writeProject(tree);
    const std::unique_ptr<QProcess> process = tree.Start(arguments);
    ASSERT_TRUE(process);
    QThread::msleep(static_cast<unsigned long>(runTime * share));
    const bool running = process->state() == QProcess::Running;
    process->kill();
    process->waitForFinished(kRunTimeoutMs);
    if (!running) continue;
    EXPECT_EQ(IntegrityCheck(tree.projectDb()), QStringLiteral("ok"));
    EXPECT_EQ(IntegrityCheck(tree.sourceDb()), QStringLiteral("ok"));
    const QStringList content = DatabaseContent(tree.projectDb());
    EXPECT_TRUE(content == oldContent || content == newContent) << "the project database is a mix";
    if (content == oldContent) ++killedOld;
    if (content == newContent) ++killedNew;
    ExpectOldOrNew(IniFiles(tree), oldIni, newIni);
    // The next run picks up where the killed one left off and completes the update.
    if (share == 0.5) {
      EXPECT_EQ(tree.Run(arguments).status, 0) << ReadBytes(tree.errorLog()).toStdString();
      EXPECT_TRUE(DatabaseContent(tree.projectDb()) == newContent)
          << "the next run did not complete the update";
    }
  }
  // At least one kill landed in the middle of the update.
  EXPECT_GE(killedOld, 1) << "run time " << runTime << " ms";
  std::printf("%s update of %d records: %lld ms; killed runs left %d old and %d new databases\n",
              integrated ? "integrated" : "silent", kRecords, static_cast<long long>(runTime), killedOld,
              killedNew);
}

TEST(FaultE2eTest, KilledDuringTheDatabaseUpdateLeavesTheProjectDatabaseOldOrNew) {
  KillDuringTheUpdate(false);
}

TEST(FaultE2eTest, KilledDuringTheIntegratedUpdateLeavesTheProjectDatabaseOldOrNew) {
  KillDuringTheUpdate(true);
}

}  // namespace
