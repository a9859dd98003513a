// Runs started the way the host configuration program starts them (EXTERNAL=QVZCFG /LOGFILE=<path>),
// with the editor switched off for the project: the run closes itself after the database update.
#include "tests/e2e/E2eDatabase.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/XServer.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kTemplates = QStringLiteral(
    "INSERT INTO Source_PRESET_DEFS VALUES "
    "(1, '###machine', 3, 1, 'Key1', 7, 0, 12, 'Key 1 on ###machine', 'Doc', 0, 255, 0, 255, 2);\n");

class IntegratedE2eTest : public ::testing::Test {
 protected:
  // Host INI with the names (Windows-1252), the project's program INI below SaveAndRestore with VWFD
  // false, the CFG file with the valid machines; the base folder's Program.ini names other machines, so a
  // name from the wrong file shows.
  void WriteIntegratedProject(const QByteArray& hostNames, const QByteArray& validMachines) {
    tree.WriteProject({"WrongName"}, false);
    WriteBytes(tree.hostIni(),
               "[Common]\r\nSaveAndRestore=" + tree.saveAndRestore().toLocal8Bit() + "\r\n" + hostNames);
    WriteBytes(tree.hostProgramIni(), "[Project]\r\nVWFD=false\r\n");
    WriteBytes(tree.cfg(), "[Project]\r\nValidMachines=" + validMachines + "\r\n");
    QDir().mkpath(QFileInfo(logFile()).absolutePath());
    ASSERT_EQ(MakeDatabase(tree.sourceDb(), SourceDatabaseSql(kTemplates)), QString());
    ASSERT_EQ(MakeDatabase(tree.projectDb(), ProjectDatabaseSql({})), QString());
  }
  void WriteMachineCopy(const QString& rows) {
    ASSERT_EQ(MakeDatabase(tree.machineCopy(), ProjectDatabaseSql(rows)), QString());
  }
  QStringList IntegratedArguments() const {
    return {QStringLiteral("EXTERNAL=QVZCFG"), QStringLiteral("/LOGFILE=") + logFile()};
  }
  // A log path with upper- and lower-case letters and a blank: it keeps its case on Linux, and only a
  // blank followed by a slash would end it.
  QString logFile() const { return tree.root() + QStringLiteral("/Host Logs/Cfg.Log"); }

  InstallTree tree;
};

TEST_F(IntegratedE2eTest, MachineNamesComeFromTheHostAndTheMachineCopyIsTakenOver) {
  WriteIntegratedProject("NameM1=F\xF6rderband\r\nNameM2=Line2\r\n", "F\xD6RDERBAND, Line2");
  WriteMachineCopy(
      QStringLiteral("INSERT INTO PRESET_DEFS VALUES (1, 'Förderband', 1, 1, 'Key1', 7, 0, 12, 'copy', "
                     "'Doc', 1, 2, 3, 4, 5);\n"));

  const RunResult run = tree.Run(IntegratedArguments());
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << ReadBytes(logFile()).toStdString();
  EXPECT_EQ(QueryRows(tree.projectDb(),
                      QStringLiteral("SELECT machine_type, var_name, text, abs_min, abs_max, min, "
                                     "max, pass FROM PRESET_DEFS")),
            QStringList(QStringLiteral("Förderband|Key1|Key 1 on Förderband|1.0|2.0|3.0|4.0|5")));
  EXPECT_EQ(DatabaseContent(tree.projectDb()), DatabaseContent(tree.sourceDb()));
  EXPECT_TRUE(ReadBytes(tree.cfg()).contains("\r\n[Info]\r\nS_Prog=1.0.1 - Integrated\r\n"));
  // WithDocumentation always goes to the base folder's Program.ini.
  EXPECT_TRUE(ReadBytes(tree.programIni()).contains("\r\nWithDocumentation=false\r\n"));
  EXPECT_FALSE(ReadBytes(tree.hostProgramIni()).contains("WithDocumentation"));
  EXPECT_FALSE(QFile::exists(logFile()));
  EXPECT_FALSE(QFile::exists(tree.errorLog()));
}

TEST_F(IntegratedE2eTest, HostNameWithQuotesSemicolonsAndBracketsIsAdmittedResolvedAndTakenOver) {
  WriteIntegratedProject("NameM1=M\"1;[x]\r\n", "Line2, M\"1;[X]");
  WriteMachineCopy(
      QStringLiteral("INSERT INTO PRESET_DEFS VALUES (1, 'M\"1;[x]', 1, 1, 'Key1', 7, 0, 12, 'copy', "
                     "'Doc', 6, 7, 8, 9, 10);\n"));
  const RunResult run = tree.Run(IntegratedArguments());
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << ReadBytes(logFile()).toStdString();
  EXPECT_EQ(QueryRows(tree.projectDb(),
                      QStringLiteral("SELECT machine_type, text, abs_min, abs_max, min, max, pass "
                                     "FROM PRESET_DEFS")),
            QStringList(QStringLiteral("M\"1;[x]|Key 1 on M\"1;[x]|6.0|7.0|8.0|9.0|10")));
}

TEST_F(IntegratedE2eTest, MachineOneNotAdmittedGeneratesNoRecords) {
  for (const QByteArray& valid : {QByteArray("Line2"), QByteArray("")}) {
    SCOPED_TRACE(valid.toStdString());
    WriteIntegratedProject("NameM1=Line1\r\nNameM2=Line2\r\n", valid);
    WriteMachineCopy({});
    const RunResult run = tree.Run(IntegratedArguments());
    ASSERT_TRUE(run.finished) << run.Report();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(QueryRows(tree.projectDb(), QStringLiteral("SELECT count(*) FROM PRESET_DEFS")),
              QStringList(QStringLiteral("0")));
  }
  // A list naming "Line10" admits "Line1" (a plain substring test), and "all" admits every machine.
  for (const QByteArray& valid : {QByteArray("Line10"), QByteArray("all")}) {
    SCOPED_TRACE(valid.toStdString());
    WriteIntegratedProject("NameM1=Line1\r\n", valid);
    WriteMachineCopy({});
    const RunResult run = tree.Run(IntegratedArguments());
    ASSERT_TRUE(run.finished) << run.Report();
    EXPECT_EQ(QueryRows(tree.projectDb(), QStringLiteral("SELECT machine_type FROM PRESET_DEFS")),
              QStringList(QStringLiteral("Line1")));
  }
}

// Runs that must answer a dialog use a virtual X server.
class IntegratedDialogE2eTest : public IntegratedE2eTest {
 protected:
  static void SetUpTestSuite() { server_ = new XServer; }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    // Without Xvfb or xdotool the dialogs cannot be answered here; a server that is installed but does
    // not come up is a fault of the machine that must not pass unnoticed.
    if (!server_->installed())
      GTEST_SKIP() << "no X server for dialogs: " << server_->failure().toStdString();
    ASSERT_FALSE(server_->display().isEmpty()) << server_->failure().toStdString();
  }
  // How the program and the screen look, for a failed wait.
  static std::string State(QProcess& process) { return Report(process) + server_->WindowList(); }
  static XServer* server_;
};
XServer* IntegratedDialogE2eTest::server_ = nullptr;

TEST_F(IntegratedDialogE2eTest, WithoutMachineCopyTheNoticeIsShownAndTheUpdateGoesOn) {
  WriteIntegratedProject("NameM1=Line1\r\n", "ALL");
  QFile::remove(tree.projectDb());
  const std::unique_ptr<QProcess> process = tree.Start(IntegratedArguments(), server_->display());
  ASSERT_TRUE(process);
  const QString box = server_->WaitForWindow(QStringLiteral("^Documentation_Config$"), process.get());
  EXPECT_FALSE(box.isEmpty()) << "no notice shown\n" << State(*process);
  if (!box.isEmpty()) {
    EXPECT_TRUE(server_->Answer(box, QStringLiteral("Return"), process.get())) << State(*process);
  }
  const RunResult run = Finish(*process);
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << run.Report();
  // Without a project database the update creates it as a copy of the generated source database.
  EXPECT_EQ(DatabaseContent(tree.projectDb()), DatabaseContent(tree.sourceDb()));
  EXPECT_EQ(QueryRows(tree.projectDb(), QStringLiteral("SELECT machine_type FROM PRESET_DEFS")),
            QStringList(QStringLiteral("Line1")));
}

TEST_F(IntegratedDialogE2eTest, ErrorsGoToTheLogFileGivenOnTheCommandLine) {
  WriteIntegratedProject("NameM1=Line1\r\n", "ALL");
  WriteMachineCopy({});
  WriteBytes(tree.sourceDb(), "no database");
  const std::unique_ptr<QProcess> process = tree.Start(IntegratedArguments(), server_->display());
  ASSERT_TRUE(process);
  // Every "Unexpected error" is answered with the default button (Yes: go on), until the run ends. Each
  // box is answered until it has gone, so the next one found is a new one.
  int answered = 0;
  while (answered < 10) {
    const QString box = server_->WaitForWindow(QStringLiteral("^Unexpected error$"), process.get());
    if (box.isEmpty()) break;
    const bool gone = server_->Answer(box, QStringLiteral("Return"), process.get());
    EXPECT_TRUE(gone) << "error box " << answered + 1 << " stayed\n" << State(*process);
    if (!gone) break;
    ++answered;
  }
  const RunResult run = Finish(*process);
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_GE(answered, 1) << run.Report();
  EXPECT_EQ(run.status, 1) << run.Report();
  EXPECT_TRUE(ReadBytes(logFile()).startsWith(
      "Fehler in Documentation / SQLite / WorkOnMDB (Nr. 26) :file is not a database\r\n"))
      << ReadBytes(logFile()).toStdString();
  EXPECT_FALSE(QFile::exists(tree.errorLog()));
}

// Opens the editor (switched on in the host's program INI), presses Cancel and confirms it.
RunResult OpenAndCancel(InstallTree& tree, const XServer& server, const QStringList& arguments) {
  WriteBytes(tree.hostProgramIni(), "[Project]\r\nVWFD=true\r\n");
  const std::unique_ptr<QProcess> process = tree.Start(arguments, server.display());
  if (!process) return {};
  const auto state = [&] { return Report(*process) + server.WindowList(); };
  const QString window =
      server.WaitForWindow(QStringLiteral("^Erweiterte Konfiguration program - integriert$"), process.get());
  EXPECT_FALSE(window.isEmpty()) << "the editor did not show\n" << state();
  if (!window.isEmpty()) {
    // The middle of the Cancel button (10170, 7710, 1695 x 855 twips; 15 twips to a pixel). A click that
    // comes before the window takes input is repeated; once the question is open it blocks the editor,
    // so a repeated click does nothing.
    QString question;
    const bool asked = server.ClickUntil(window, 734, 542, process.get(), [&] {
      question = server.FindWindow(QStringLiteral("^Cancel\\?$"));
      return !question.isEmpty();
    });
    EXPECT_TRUE(asked) << "no cancel question\n" << state();
    if (asked) {
      // Under the default language 1031 the box's buttons are Qt's German "&Ja" and "&Nein".
      EXPECT_TRUE(server.Answer(question, QStringLiteral("alt+j"), process.get())) << state();
    }
  }
  return Finish(*process);
}

TEST_F(IntegratedDialogE2eTest, ConfirmedCancelIsLoggedToTheLogFileAndEndsWithStatus2) {
  WriteIntegratedProject("NameM1=Line1\r\n", "ALL");
  WriteMachineCopy({});
  WriteBytes(tree.hostProgramIni(), "[Project]\r\nVWFD=true\r\n");
  const QMap<QString, QByteArray> before = tree.Snapshot();
  const RunResult run = OpenAndCancel(tree, *server_, IntegratedArguments());
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 2) << run.Report();
  EXPECT_EQ(ReadBytes(logFile()), "Konfigurations-EXE wurde abgebrochen:     Documentation\r\n");
  QMap<QString, QByteArray> after = tree.Snapshot();
  after.remove(QStringLiteral("Host Logs/Cfg.Log"));
  // The language INI is seeded at start-up; it is no setting.
  after.remove(QStringLiteral("project/program/Documentation_Config.ini"));
  EXPECT_EQ(after.keys(), before.keys());
  EXPECT_TRUE(after == before) << "a cancelled run changed a file";
}

TEST_F(IntegratedDialogE2eTest, EmptyLogFileFallsBackToTheBaseFoldersErrorLog) {
  WriteIntegratedProject("NameM1=Line1\r\n", "ALL");
  WriteMachineCopy({});
  const RunResult run = OpenAndCancel(tree, *server_, {"EXTERNAL=QVZCFG", "/LOGFILE="});
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 2) << run.Report();
  EXPECT_EQ(ReadBytes(tree.errorLog()), "Konfigurations-EXE wurde abgebrochen:     Documentation\r\n");
}

}  // namespace

namespace {

TEST_F(IntegratedDialogE2eTest, AnsweringNoToAnErrorEndsTheRunAtOnce) {
  WriteIntegratedProject("NameM1=Line1\r\n", "ALL");
  WriteMachineCopy({});
  WriteBytes(tree.sourceDb(), "no database");
  const QByteArray cfg = ReadBytes(tree.cfg());
  const std::unique_ptr<QProcess> process = tree.Start(IntegratedArguments(), server_->display());
  ASSERT_TRUE(process);
  const QString box = server_->WaitForWindow(QStringLiteral("^Unexpected error$"), process.get());
  ASSERT_FALSE(box.isEmpty()) << "no error shown\n" << State(*process);
  EXPECT_TRUE(server_->Answer(box, QStringLiteral("alt+n"), process.get())) << State(*process);
  const RunResult run = Finish(*process);
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1) << run.Report();
  // Nothing after the error ran: no settings, no edit info.
  EXPECT_FALSE(QFile::exists(tree.settings()));
  EXPECT_EQ(ReadBytes(tree.cfg()), cfg);
}

TEST_F(IntegratedDialogE2eTest, MissingCfgFileIsShownAndEndsTheRun) {
  WriteIntegratedProject("NameM1=Line1\r\n", "ALL");
  QFile::remove(tree.cfg());
  const std::unique_ptr<QProcess> process = tree.Start(IntegratedArguments(), server_->display());
  ASSERT_TRUE(process);
  const QString box = server_->WaitForWindow(QStringLiteral("^Documentation_Config$"), process.get());
  ASSERT_FALSE(box.isEmpty()) << "no fault shown\n" << State(*process);
  EXPECT_TRUE(server_->Answer(box, QStringLiteral("Return"), process.get())) << State(*process);
  const RunResult run = Finish(*process);
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1) << run.Report();
  EXPECT_FALSE(QFile::exists(tree.settings()));
  EXPECT_FALSE(QFile::exists(tree.cfg()));
}

TEST_F(IntegratedDialogE2eTest, OkInTheEditorUpdatesTheDatabaseAndWritesTheHostMachinesSettings) {
  WriteIntegratedProject("NameM1=F\xF6rderband\r\nNameM2=Line2\r\nNameM3=-\r\nNameM4=Line4\r\n", "ALL");
  WriteMachineCopy({});
  WriteBytes(tree.hostProgramIni(), "[Project]\r\nVWFD=true\r\n");
  const std::unique_ptr<QProcess> process = tree.Start(IntegratedArguments(), server_->display());
  ASSERT_TRUE(process);
  const QString window = server_->WaitForWindow(
      QStringLiteral("^Erweiterte Konfiguration program - integriert$"), process.get());
  ASSERT_FALSE(window.isEmpty()) << "the editor did not show\n" << State(*process);
  // The middle of the OK button (8400, 7710, 1695 x 855 twips); a click that comes before the window
  // takes input is repeated until the window closes. The editor ignores a second OK while it closes.
  EXPECT_TRUE(
      server_->ClickUntil(window, 616, 542, process.get(), [&] { return !server_->IsMapped(window); }))
      << "the editor did not close\n"
      << State(*process);
  const RunResult run = Finish(*process);
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 0) << ReadBytes(logFile()).toStdString();
  // The host names the machines: "-" ends the list, so machine 4 is not one of them.
  const QByteArray settings = ReadBytes(tree.settings());
  EXPECT_TRUE(settings.startsWith("[Machine1]\r\nReference1=\r\nSymbol1=\r\n")) << settings.toStdString();
  EXPECT_TRUE(settings.contains("[Machine2]\r\n"));
  EXPECT_FALSE(settings.contains("[Machine3]"));
  EXPECT_FALSE(settings.contains("[Machine4]"));
  EXPECT_TRUE(settings.contains("NetDrive5=X\r\n"));
  EXPECT_EQ(QueryRows(tree.projectDb(), QStringLiteral("SELECT machine_type FROM PRESET_DEFS")),
            QStringList(QStringLiteral("Förderband")));
  EXPECT_TRUE(ReadBytes(tree.cfg()).contains("\r\n[Info]\r\nS_Prog=1.0.1 - Integrated\r\n"));
}

}  // namespace

namespace {

TEST_F(IntegratedDialogE2eTest, AbortedUpdateLeavesTheProjectDatabaseAndTheMachineCopyAsTheyWere) {
  WriteIntegratedProject("NameM1=Line1\r\n", "ALL");
  WriteBytes(tree.cfg(), "[Project]\r\nValidMachines=ALL\r\nDataBaseAdditionalFields=group\r\n");
  ASSERT_EQ(MakeDatabase(tree.projectDb(), ProjectDatabaseSql(QStringLiteral(
                                               "INSERT INTO PRESET_DEFS VALUES (1, 'Line1', 1, 1, 'Key1', "
                                               "7, 0, 12, 'project', 'Doc', 1, 1, 1, 1, 1);\n"))),
            QString());
  // The machine copy still has the old name of the category field, which the update renames.
  ASSERT_EQ(MakeDatabase(
                tree.machineCopy(),
                ProjectDatabaseSql(QStringLiteral("INSERT INTO PRESET_DEFS VALUES (1, 'Line1', 1, 1, 'Key1', "
                                                  "7, 0, 12, 'copy', 'Doc', 2, 2, 2, 2, 2);\n"))
                    .replace("category_id", "Categorie")),
            QString());
  const QMap<QString, QByteArray> before = tree.Snapshot();
  const std::unique_ptr<QProcess> process = tree.Start(IntegratedArguments(), server_->display());
  ASSERT_TRUE(process);
  const QString box = server_->WaitForWindow(QStringLiteral("^Fatal error$"), process.get());
  EXPECT_FALSE(box.isEmpty()) << "no fatal error shown\n" << State(*process);
  if (!box.isEmpty()) {
    EXPECT_TRUE(server_->Answer(box, QStringLiteral("Return"), process.get())) << State(*process);
  }
  const RunResult run = Finish(*process);
  ASSERT_TRUE(run.finished) << run.Report();
  EXPECT_EQ(run.status, 1) << run.Report();
  EXPECT_TRUE(ReadBytes(logFile()).contains("demanded field \"GROUP\"missing"))
      << ReadBytes(logFile()).toStdString();
  const QMap<QString, QByteArray> after = tree.Snapshot();
  for (const QString& file : {QStringLiteral("project/Documentation/Documentation.mdb"),
                              QStringLiteral("SaveAndRestore/Documentation/Documentation.mdb")}) {
    EXPECT_TRUE(after.value(file) == before.value(file)) << file.toStdString() << " changed";
  }
  // No working file is left in the project's or the host's folders.
  EXPECT_EQ(QDir(tree.component()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            QStringList({".Documentation.lock", "Documentation.cfg", "Documentation.mdb",
                         "Documentation_Source.mdb", "Documentation_Update.txt"}));
  EXPECT_EQ(
      QDir(tree.saveAndRestore() + QStringLiteral("/Documentation")).entryList(QDir::Files | QDir::Hidden),
      QStringList({"Documentation.mdb"}));
}

}  // namespace
