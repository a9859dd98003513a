// The database update of unattended runs, end to end: the rebuilt preset table, the values taken over,
// the project database replaced by the source database, and the faults that must not destroy it.
#include "tests/e2e/E2eDatabase.h"
#include "tests/e2e/E2eSupport.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace {

const QString kTemplates = QStringLiteral(
    "INSERT INTO Source_PRESET_DEFS VALUES "
    "(1, '###machine', 3, 1, 'Key1_###machine', 7, 0, 12, 'Key 1 on ###machine', 'Doc', 0, 255, 0, 255, 2), "
    "(2, '###machine', 3, 1, 'Key2', 7, 0, 13, 'Key 2', 'Doc', 0, 255, 0, 255, 2);\n");

// A silent project with machine 1 taking part and both databases in place.
void WriteDatabaseProject(InstallTree& tree, const QString& machine, const QString& templates,
                          const QString& oldRows) {
  tree.WriteProject({machine}, true);
  ASSERT_EQ(MakeDatabase(tree.sourceDb(), SourceDatabaseSql(templates)), QString());
  ASSERT_EQ(MakeDatabase(tree.projectDb(), ProjectDatabaseSql(oldRows)), QString());
}

QStringList LogLines(const QString& path) {
  return QString::fromLatin1(ReadBytes(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

TEST(DatabaseE2eTest, SilentUpdateRebuildsThePresetsTakesValuesOverAndCopiesTheSource) {
  InstallTree tree;
  WriteDatabaseProject(
      tree, QStringLiteral("Wrapper"), kTemplates,
      QStringLiteral("INSERT INTO PRESET_DEFS VALUES (9, 'wrapper', 1, 1, 'KEY1_WRAPPER', 7, 0, "
                     "12, 'old', 'Doc', 1, 99, 5, 50, 4);\n"));
  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << run.output.toStdString() << ReadBytes(tree.errorLog()).toStdString();

  EXPECT_EQ(
      QueryRows(tree.sourceDb(), QStringLiteral("SELECT ID, machine_type, var_name, offset_or_bitno, "
                                                "text, abs_min, abs_max, min, max, pass FROM PRESET_DEFS")),
      QStringList({QStringLiteral("1|Wrapper|Key1_Wrapper|12|Key 1 on Wrapper|1.0|99.0|5.0|50.0|4"),
                   QStringLiteral("2|Wrapper|Key2|13|Key 2|0.0|255.0|0.0|255.0|2")}));
  EXPECT_EQ(DatabaseContent(tree.projectDb()), DatabaseContent(tree.sourceDb()));
  EXPECT_EQ(IntegrityCheck(tree.projectDb()), QStringLiteral("ok"));
  EXPECT_FALSE(QFile::exists(tree.errorLog())) << ReadBytes(tree.errorLog()).toStdString();
  // No working or temporary file is left behind.
  EXPECT_EQ(
      QDir(tree.component()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
      QStringList({".Documentation.lock", "Documentation.cfg", "Documentation.mdb",
                   "Documentation.mdb.previous", "Documentation_Source.mdb", "Documentation_Update.txt"}));
}

TEST(DatabaseE2eTest, ProjectDatabaseLeftByACrashedWriterIsReadAsItWasBeforeTheCrash) {
  InstallTree tree;
  WriteDatabaseProject(tree, QStringLiteral("M1"),
                       GeneratedRows(QStringLiteral("Source_PRESET_DEFS"), 2000, {}, true),
                       GeneratedRows(QStringLiteral("PRESET_DEFS"), 2000, QStringLiteral("M1"), false));
  // Another program was changing every value when it crashed: its journal still holds the old pages.
  const QString intact = tree.root() + QStringLiteral("/intact.mdb");
  ASSERT_TRUE(QFile::copy(tree.projectDb(), intact));
  QFile::remove(tree.projectDb());
  ASSERT_EQ(CopyInTheMiddleOfATransaction(
                intact, "UPDATE PRESET_DEFS SET abs_min = -1, text = zeroblob(500);", tree.projectDb()),
            QString());

  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << ReadBytes(tree.errorLog()).toStdString();
  // The values taken over are those from before the crash.
  EXPECT_EQ(
      QueryRows(tree.projectDb(), QStringLiteral("SELECT count(*), sum(abs_min = ID) FROM PRESET_DEFS")),
      QStringList(QStringLiteral("2000|2000")));
  EXPECT_FALSE(QFile::exists(tree.projectDb() + QStringLiteral("-journal")));
}

TEST(DatabaseE2eTest, SourceThatCannotBeCommittedKeepsTheProjectDatabase) {
  InstallTree tree;
  WriteDatabaseProject(
      tree, QStringLiteral("Line1"), kTemplates,
      QStringLiteral("INSERT INTO PRESET_DEFS VALUES (1, 'Line1', 1, 1, 'Key2', 7, 0, 13, 'old', "
                     "'Doc', 1, 2, 3, 4, 5);\n"));
  const QByteArray project = ReadBytes(tree.projectDb());
  RunResult run;
  {
    // Another program reads the source database all through the run.
    const ReadLock lock(tree.sourceDb());
    ASSERT_TRUE(lock.held());
    run = tree.Run({"EXTERNAL=SILENT"});
  }
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(ReadBytes(tree.errorLog()).contains("(Nr. 5) :database is locked"))
      << ReadBytes(tree.errorLog()).toStdString();
  // The update did not reach the source database, so its old content must not replace the project's.
  EXPECT_TRUE(ReadBytes(tree.projectDb()) == project) << "project database bytes differ";
  EXPECT_EQ(QueryRows(tree.sourceDb(), QStringLiteral("SELECT count(*) FROM PRESET_DEFS")),
            QStringList(QStringLiteral("0")));
}

TEST(DatabaseE2eTest, SourceThatIsNoDatabaseIsReportedAndKeepsTheProjectDatabase) {
  InstallTree tree;
  WriteDatabaseProject(tree, QStringLiteral("Line1"), kTemplates, {});
  WriteBytes(tree.sourceDb(), QByteArray("This is not a database.\r\n").repeated(200));
  const QByteArray project = ReadBytes(tree.projectDb());

  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1);
  const QString line =
      QStringLiteral("Fehler in Documentation / SQLite / WorkOnMDB (Nr. 26) :file is not a database");
  EXPECT_TRUE(LogLines(tree.errorLog()).contains(line)) << ReadBytes(tree.errorLog()).toStdString();
  const QByteArray entry =
      "! Fault Documentation_Config: Unexpected error!\n\rfile is not a database\n\r"
      "Error logged to \n\r" +
      tree.errorLog().toUpper().toLocal8Bit() + "\r\n";
  EXPECT_TRUE(ReadBytes(tree.serviceLog()).contains(entry)) << ReadBytes(tree.serviceLog()).toStdString();
  // A file that is no database must not replace the project database.
  EXPECT_TRUE(ReadBytes(tree.projectDb()) == project) << "project database bytes differ";
  // The run goes on and writes the settings.
  EXPECT_TRUE(QFile::exists(tree.settings()));
  EXPECT_TRUE(ReadBytes(tree.cfg()).contains("[Info]\r\nS_Prog=1.0.1 - Standalone\r\n"));
}

TEST(DatabaseE2eTest, SourceWithoutTemplateTableIsReportedAndKeepsTheProjectDatabase) {
  InstallTree tree;
  WriteDatabaseProject(
      tree, QStringLiteral("Line1"), kTemplates,
      QStringLiteral("INSERT INTO PRESET_DEFS VALUES (1, 'Line1', 1, 1, 'Key2', 7, 0, 13, 'old', "
                     "'Doc', 1, 2, 3, 4, 5);\n"));
  ASSERT_EQ(MakeDatabase(
                tree.sourceDb(),
                "CREATE TABLE Source_DEFS (ID INTEGER, System TEXT(20), Part INTEGER, Var_Name TEXT(255));"),
            QString());
  const QByteArray project = ReadBytes(tree.projectDb());
  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(
      LogLines(tree.errorLog())
          .contains(QStringLiteral(
              "Fehler in Documentation / SQLite / WorkOnMDB (Nr. 1) :no such table: Source_PRESET_DEFS")))
      << ReadBytes(tree.errorLog()).toStdString();
  // The preset table could not be rebuilt, so the takeover finds none of the fields it needs and ends
  // the run: the project database keeps its presets and their values.
  EXPECT_TRUE(ReadBytes(tree.projectDb()) == project) << "project database bytes differ";
  EXPECT_EQ(IntegrityCheck(tree.sourceDb()), QStringLiteral("ok"));
}

TEST(DatabaseE2eTest, MissingAdditionalFieldAbortsAndLeavesTheProjectDatabaseAlone) {
  InstallTree tree;
  WriteDatabaseProject(
      tree, QStringLiteral("Line1"), kTemplates,
      QStringLiteral("INSERT INTO PRESET_DEFS VALUES (1, 'Line1', 1, 1, 'Key2', 7, 0, 13, 'old', "
                     "'Doc', 1, 2, 3, 4, 5);\n"));
  // An older project database whose category field still has its old name: the update renames it, but
  // an update that is given up must leave the file as it was.
  ASSERT_EQ(MakeDatabase(
                tree.projectDb(),
                ProjectDatabaseSql(QStringLiteral("INSERT INTO PRESET_DEFS VALUES (1, 'Line1', 1, 1, 'Key2', "
                                                  "7, 0, 13, 'old', 'Doc', 1, 2, 3, 4, 5);\n"))
                    .replace("category_id", "Categorie")),
            QString());
  WriteBytes(tree.cfg(), "[Project]\r\nForMachine1=true\r\nDataBaseAdditionalFields=group\r\n");
  const QByteArray project = ReadBytes(tree.projectDb());

  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(LogLines(tree.errorLog()),
            QStringList(
                {QStringLiteral("Conflict while attempting to extend database!Configurationsfile "
                                "\"DOCUMENTATION.CFG\", demanded field \"GROUP\"missing in "
                                "machinecopy-database\n\rConfiguration of \"DOCUMENTATION\" aborted."),
                 QStringLiteral("Fehler in Documentation / Documentation_Config / TakeoverMachineCopyMDBData "
                                "(Nr. 9999) :Database-Error - Contact Administrator!")}));
  EXPECT_TRUE(ReadBytes(tree.projectDb()) == project) << "project database bytes differ";
  EXPECT_EQ(QDir(tree.component()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            QStringList({".Documentation.lock", "Documentation.cfg", "Documentation.mdb",
                         "Documentation_Source.mdb", "Documentation_Update.txt"}));
  // The report says the update was ended and why.
  EXPECT_TRUE(ReadBytes(tree.component() + "/Documentation_Update.txt")
                  .contains("Outcome: the update was ended, the project database is not replaced: Fehler in "
                            "Documentation / Documentation_Config / TakeoverMachineCopyMDBData (Nr. 9999)"));
  // Silent: the fatal error goes to the service log as well, in the system's format.
  EXPECT_EQ(ReadBytes(tree.serviceLog()),
            "! Fault Documentation_Config: Unexpected error!\n\rDatabase-Error - Contact "
            "Administrator!\n\rError logged to \n\r" +
                tree.errorLog().toUpper().toLocal8Bit() + "\r\n");
  // The program ended inside the update: the settings are not written.
  EXPECT_FALSE(QFile::exists(tree.settings()));
}

TEST(DatabaseE2eTest, NamesWithQuotesSemicolonsAndBracketsAreResolvedAndTakenOver) {
  InstallTree tree;
  const QString machine = QStringLiteral("M\"1;[x]");
  WriteDatabaseProject(
      tree, machine,
      QStringLiteral("INSERT INTO Source_PRESET_DEFS VALUES (1, '###machine', 3, 1, 'A\"B;[c]', 7, 0, 5, "
                     "'On ###machine', 'Doc', 0, 255, 0, 255, 2);\n"),
      QStringLiteral(
          "INSERT INTO PRESET_DEFS VALUES (1, 'M\"1;[x]', 1, 1, 'A\"B;[c]', 7, 0, 5, 'old', 'Doc', "
          "10, 20, 30, 40, 50);\n"));
  ASSERT_TRUE(ReadBytes(tree.programIni()).contains("MachineName=M\"1;[x]\r\n"));

  const RunResult run = tree.Run({"EXTERNAL=SILENT"});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << ReadBytes(tree.errorLog()).toStdString();
  EXPECT_EQ(
      QueryRows(tree.projectDb(), QStringLiteral("SELECT machine_type, var_name, text, abs_min, abs_max, "
                                                 "min, max, pass FROM PRESET_DEFS")),
      QStringList(QStringLiteral("M\"1;[x]|A\"B;[c]|On M\"1;[x]|10.0|20.0|30.0|40.0|50")));
}

// Whatever is in the run lock's place, the update does not run without the lock: it says why, and both
// databases stay as they were.
TEST(DatabaseE2eTest, ARunLockThatCannotBeTakenStopsTheUpdateWithItsReason) {
  struct Case {
    const char* what;
    std::function<bool(const QString& lock, const InstallTree& tree)> make;
    QString reason;
  };
  const auto run = [](const QString& program, const QStringList& arguments) {
    return QProcess::execute(program, arguments) == 0;
  };
  const std::vector<Case> cases = {
      {"folder", [](const QString& lock, const InstallTree&) { return QDir().mkdir(lock); },
       QStringLiteral("cannot be opened: Is a directory")},
      {"FIFO", [&](const QString& lock, const InstallTree&) { return run(QStringLiteral("mkfifo"), {lock}); },
       QStringLiteral("is a FIFO, not a regular file")},
      {"link to a device",
       [](const QString& lock, const InstallTree&) { return QFile::link(QStringLiteral("/dev/null"), lock); },
       QStringLiteral("is a symbolic link, not a regular file")},
      {"link to a file",
       [](const QString& lock, const InstallTree& tree) { return QFile::link(tree.cfg(), lock); },
       QStringLiteral("is a symbolic link, not a regular file")},
      {"link to nowhere",
       [](const QString& lock, const InstallTree& tree) { return QFile::link(tree.root() + "/none", lock); },
       QStringLiteral("is a symbolic link, not a regular file")},
      {"immutable file",
       [&](const QString& lock, const InstallTree&) {
         WriteBytes(lock, {});
         return run(QStringLiteral("chattr"), {QStringLiteral("+i"), lock});
       },
       QStringLiteral("cannot be opened: ")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InstallTree tree;
    WriteDatabaseProject(tree, QStringLiteral("Line1"), kTemplates, {});
    const QString lock = tree.component() + QStringLiteral("/.Documentation.lock");
    if (!c.make(lock, tree)) {
      std::printf("run lock as %s: cannot be made here, not tried\n", c.what);
      continue;
    }
    const QByteArray project = ReadBytes(tree.projectDb());
    const QByteArray source = ReadBytes(tree.sourceDb());
    const RunResult result = tree.Run({"EXTERNAL=SILENT"});
    if (QString(c.what) == "immutable file") run(QStringLiteral("chattr"), {QStringLiteral("-i"), lock});
    ASSERT_TRUE(result.finished) << result.Report();
    EXPECT_EQ(result.status, 1);
    const QStringList lines = LogLines(tree.errorLog());
    ASSERT_EQ(lines.size(), 1) << ReadBytes(tree.errorLog()).toStdString();
    EXPECT_TRUE(lines[0].startsWith(
        QStringLiteral("Fehler in Documentation / Documentation_Config / WorkOnMDB (Nr. 75) :The run lock "
                       "cannot be taken; the project database was not updated: ") +
        lock + QStringLiteral(": ") + c.reason))
        << lines[0].toStdString();
    EXPECT_TRUE(ReadBytes(tree.projectDb()) == project) << "project database bytes differ";
    EXPECT_TRUE(ReadBytes(tree.sourceDb()) == source) << "source database bytes differ";
  }
}

// A machine list that cannot be read stops the update with error 9 and says what is wrong with it; a
// program INI with a UTF-8 byte-order mark is read in its encoding and keeps it.
TEST(DatabaseE2eTest, AProgramIniThatNamesNoMachineIsReportedWithWhatIsWrongWithIt) {
  const QByteArray usual =
      "[Project]\r\nNumberOfMachines=1\r\nVWFD=true\r\nVWStudio=false\r\n"
      "[Machine1]\r\nMachineName=Line1\r\n";
  const std::vector<std::pair<QByteArray, QString>> cases = {
      {"", QStringLiteral("Program.ini is empty (%1)")},
      {" \r\n\r\n", QStringLiteral("Program.ini is empty (%1)")},
      {QByteArray(usual).replace("=1\r\n", "=-32768\r\n"), QStringLiteral("NumberOfMachines is -32768 (%1)")},
      {QByteArray(usual).replace("NumberOfMachines", "Machines"),
       QStringLiteral("Program.ini has no NumberOfMachines in [Project] (%1)")},
      {"\xEF\xBB\xBF" + usual, QString()},
  };
  for (const auto& [programIni, problem] : cases) {
    SCOPED_TRACE(programIni.toStdString());
    InstallTree tree;
    WriteDatabaseProject(tree, QStringLiteral("Line1"), kTemplates, {});
    WriteBytes(tree.programIni(), programIni);
    const QByteArray project = ReadBytes(tree.projectDb());
    const RunResult run = tree.Run({"EXTERNAL=SILENT"});
    ASSERT_TRUE(run.finished) << run.Report();
    if (problem.isEmpty()) {
      EXPECT_EQ(run.status, 0) << ReadBytes(tree.errorLog()).toStdString();
      EXPECT_EQ(QueryRows(tree.projectDb(), QStringLiteral("SELECT var_name FROM PRESET_DEFS WHERE ID = 1")),
                QStringList(QStringLiteral("Key1_Line1")));
      EXPECT_TRUE(ReadBytes(tree.programIni()).startsWith("\xEF\xBB\xBF[Project]\r\n"));
      EXPECT_EQ(ReadBytes(tree.programIni()).count("[Project]"), 1);
      continue;
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(
        LogLines(tree.errorLog())
            .contains(QStringLiteral("Fehler in Documentation / Documentation_Config / CreateRecordSets "
                                     "(Nr. 9) :Subscript out of range: ") +
                      problem.arg(tree.programIni())))
        << ReadBytes(tree.errorLog()).toStdString();
    EXPECT_TRUE(ReadBytes(tree.projectDb()) == project) << "project database bytes differ";
  }
}

}  // namespace

namespace {

// Every file below the tree with its bytes and last-write time, but the run lock's file, which any run
// may create.
QMap<QString, QPair<QByteArray, QDateTime>> FilesAndTimes(const InstallTree& tree) {
  QMap<QString, QPair<QByteArray, QDateTime>> files;
  QDirIterator it(tree.root(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (path.endsWith(QStringLiteral(".Documentation.lock"))) continue;
    files.insert(QDir(tree.root()).relativeFilePath(path), {ReadBytes(path), QFileInfo(path).lastModified()});
  }
  return files;
}

// A report's lines without those that tell when and how it ran.
QStringList WhatItDid(const QString& report, const QString& lineEnd) {
  QStringList lines = report.split(lineEnd);
  lines.removeIf([](const QString& line) { return line.startsWith("Date: ") || line.startsWith("Run: "); });
  return lines;
}

TEST(DatabaseE2eTest, ADryRunChangesNothingAndReportsWhatTheUpdateThenDoesWhichCanBeUndone) {
  InstallTree tree;
  const QString oldRows = QStringLiteral(
      "INSERT INTO PRESET_DEFS VALUES (9, 'wrapper', 1, 1, 'KEY1_WRAPPER', 7, 0, 12, 'old', "
      "'Doc', 1, 99, 5, 50, 4), (10, 'wrapper', 1, 1, 'Retired', 7, 0, 30, 'old', 'Doc', 2, 3, "
      "4, 5, 6);\n");
  WriteDatabaseProject(tree, QStringLiteral("Wrapper"), kTemplates, oldRows);
  // The files of an earlier run are in place (settings, edit info, a report): none may change.
  ASSERT_EQ(tree.Run({"EXTERNAL=SILENT"}).status, 0);
  ASSERT_EQ(MakeDatabase(tree.projectDb(), ProjectDatabaseSql(oldRows)), QString());
  QFile::remove(tree.projectDb() + ".previous");
  const QString oldContent = DatabaseContent(tree.projectDb()).join('\n');
  const auto before = FilesAndTimes(tree);

  const RunResult dry = tree.RunApart({"--dry-run", "EXTERNAL=SILENT"});
  ASSERT_TRUE(dry.finished) << dry.Report();
  EXPECT_EQ(dry.status, 0) << dry.Report();
  EXPECT_TRUE(FilesAndTimes(tree) == before) << "a dry run must change no file";
  EXPECT_TRUE(dry.standardOutput.contains("Run: dry run")) << dry.standardOutput.toStdString();
  EXPECT_TRUE(dry.output.contains("1 old records would lose their values")) << dry.Report();

  const RunResult real = tree.RunApart({"EXTERNAL=SILENT"});
  EXPECT_EQ(real.status, 0) << real.Report();
  EXPECT_TRUE(real.output.contains("1 old records lost their values")) << real.Report();
  const QString report = QString::fromLatin1(ReadBytes(tree.component() + "/Documentation_Update.txt"));
  EXPECT_TRUE(report.contains("var_name=\"Retired\"")) << report.toStdString();
  EXPECT_EQ(WhatItDid(QString::fromLocal8Bit(dry.standardOutput), "\n"), WhatItDid(report, "\r\n"));
  EXPECT_EQ(DatabaseContent(tree.projectDb() + ".previous").join('\n'), oldContent);

  const RunResult restore = tree.RunApart({"--restore"});
  EXPECT_EQ(restore.status, 0) << restore.Report();
  EXPECT_TRUE(restore.standardOutput.contains("was put back")) << restore.standardOutput.toStdString();
  EXPECT_EQ(DatabaseContent(tree.projectDb()).join('\n'), oldContent);
  QFile::remove(tree.projectDb() + ".previous");
  const RunResult nothing = tree.RunApart({"--restore", "EXTERNAL=QVZCFG"});
  EXPECT_EQ(nothing.status, 1) << nothing.Report();
  EXPECT_TRUE(nothing.output.contains("There is no previous project database")) << nothing.Report();
}

}  // namespace
