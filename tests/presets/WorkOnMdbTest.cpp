#include "framework/ErrorHandling.h"
#include "framework/Installation.h"
#include "framework/RunLock.h"
#include "presets/DatabaseScript.h"
#include "presets/FileOps.h"
#include "presets/PreviousDatabase.h"
#include "presets/VarNameTemplates.h"
#include "presets/WorkOnMdb.h"
#include "tests/presets/PresetsTestSupport.h"
#ifndef _WIN32
#include "tests/support/FileSizeLimit.h"
#endif

#include <QDir>
#include <QDirIterator>

#include <chrono>
#include <filesystem>

namespace {

const std::vector<TemplateRecord> kTemplate = {
    {1, QStringLiteral("###machine"), QStringLiteral("1"), QStringLiteral("Doc_###machine"), 12},
    {2, QStringLiteral("M1"), QStringLiteral("1"), QStringLiteral("Key"), 7}};

QByteArray ProjectSql(const QString& rows, const QString& categoryField = QStringLiteral("category_id")) {
  return (QStringLiteral("CREATE TABLE PRESET_DEFS (%1);")
              .arg(QString::fromLatin1(kPresetFields).replace(QStringLiteral("category_id"), categoryField)) +
          rows)
      .toUtf8();
}

}  // namespace

using WorkOnMdbTest = PresetsTest;

TEST_F(WorkOnMdbTest, RebuildsTheSourceAndCopiesItOverTheProjectKeepingTheSourceTime) {
  WriteCfg();
  Standalone(true);
  // An old table whose name differs in case is found and replaced; the project's old category field too.
  CreateDatabaseFromSql(source(),
                        SourceSql(kTemplate).replace("CREATE TABLE PRESET_DEFS", "CREATE TABLE preset_defs"));
  CreateDatabaseFromSql(project(), ProjectSql(OldRow(QStringLiteral("M1"), QStringLiteral("Doc_M1"), 12, 100),
                                              QStringLiteral("Categorie")));
  const auto past = std::filesystem::last_write_time(ToFsPath(source())) - std::chrono::hours(24 * 400);
  std::filesystem::last_write_time(ToFsPath(source()), past);

  WorkOnMDB();
  EXPECT_FALSE(AnyErrorHandled());
  EXPECT_EQ(VisiWinSystemIndex(*context), 1);
  // The VisiWin32 name in the project was renamed to the Studio name before the values were taken over.
  EXPECT_EQ(
      Rows(source(), QStringLiteral("SELECT ID, machine_type, var_name, abs_min, pass FROM PRESET_DEFS")),
      QStringList({"1|M1|M1.Doc_M1|100.0|104", "2|M1|M1.Key|-1.0|0"}));
  EXPECT_EQ(Rows(source(), QStringLiteral("SELECT name FROM sqlite_master WHERE name LIKE 'preset_defs'")),
            QStringList{"PRESET_DEFS"});
  EXPECT_EQ(Content(project()), Content(source()));
  EXPECT_EQ(std::filesystem::last_write_time(ToFsPath(source())), past);
  EXPECT_FALSE(QFile::exists(project() + QStringLiteral("-journal")));
}

TEST_F(WorkOnMdbTest, IntegratedModeTakesTheMachineCopysValues) {
  Integrated();
  WriteFile(install.programIni(), "[Project]\r\nVWStudio=TRUE\r\n");
  CreateDatabaseFromSql(source(), SourceSql(kTemplate));
  CreateDatabaseFromSql(project(),
                        ProjectSql(OldRow(QStringLiteral("M1"), QStringLiteral("Doc_M1"), 12, 100)));
  QDir().mkpath(QFileInfo(machineCopy()).absolutePath());
  CreateDatabaseFromSql(machineCopy(),
                        ProjectSql(OldRow(QStringLiteral("M1"), QStringLiteral("M1.Doc_M1"), 12, 500)));
  const QByteArray machineCopyBytes = ReadFile(machineCopy());

  WorkOnMDB();
  EXPECT_EQ(VisiWinSystemIndex(*context), 0);
  EXPECT_TRUE(port.questions.empty());
  EXPECT_EQ(Rows(project(), QStringLiteral("SELECT var_name, abs_min FROM PRESET_DEFS WHERE ID = 1")),
            QStringList{"Doc_M1|500.0"});
  EXPECT_EQ(ReadFile(machineCopy()), machineCopyBytes);
  EXPECT_EQ(Content(project()), Content(source()));
}

TEST_F(WorkOnMdbTest, AnIntegratedDryRunChangesNoFileAndPrintsWhatTheUpdateThenReports) {
  Integrated();
  CreateDatabaseFromSql(source(), SourceSql(kTemplate));
  CreateDatabaseFromSql(project(), ProjectSql(OldRow("M1", "Doc_M1", 12, 100)));
  QDir().mkpath(QFileInfo(machineCopy()).absolutePath());
  CreateDatabaseFromSql(machineCopy(),
                        ProjectSql(OldRow("M1", "Doc_M1", 12, 500) + OldRow("M1", "Old", 1, 7)));
  auto files = [&] {
    QStringList all;
    QDirIterator it(install.root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      if (!path.endsWith(".Documentation.lock")) {
        all << path + ' ' + QFileInfo(path).lastModified().toString(Qt::ISODateWithMs) + ' ' +
                   QString::number(qHash(ReadFile(path)));
      }
    }
    return all;
  };
  const QStringList before = files();
  StartMode mode = Context().mode;
  mode.dryRun = mode.silent = true;
  ProjectContext dry(install.location(), mode, port);
  dry.files = Context().files;
  dry.project = Context().project;
  testing::internal::CaptureStdout();
  ::WorkOnMDB(dry);
  const QString printed = QString::fromLocal8Bit(testing::internal::GetCapturedStdout());
  EXPECT_EQ(files(), before);
  EXPECT_TRUE(printed.contains("Mode: integrated\nSource: " + source())) << printed.toStdString();
  EXPECT_TRUE(printed.contains("Values taken from: " + machineCopy())) << printed.toStdString();

  WorkOnMDB();
  auto whatItDid = [](const QString& report, const QString& lineEnd) {
    QStringList lines = report.split(lineEnd);
    lines.removeIf([](const QString& line) { return line.startsWith("Date: ") || line.startsWith("Run: "); });
    return lines;
  };
  EXPECT_EQ(
      whatItDid(printed, "\n"),
      whatItDid(QString::fromLatin1(ReadFile(install.component() + NativePath("/Documentation_Update.txt"))),
                "\r\n"));
  EXPECT_EQ(Rows(project(), "SELECT abs_min FROM PRESET_DEFS WHERE ID = 1"), QStringList{"500.0"});
}

TEST_F(WorkOnMdbTest, IntegratedModeWithoutMachineCopyTellsTheUserOnceAndGoesOn) {
  Integrated();
  CreateDatabaseFromSql(source(), SourceSql(kTemplate));
  WorkOnMDB();
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(
      port.questions[0].text,
      QStringLiteral("Konnte die Datei:\"Documentation.mdb\" in der Vorlage nicht finden!\r\n\r\n"
                     "Ist das Bild in der Vorlage noch nicht vorhanden (also neu)?\r\nDann ist diese Meldung "
                     "völlig normal und es wird eine neue Datei mit den Standardwerten erzeugt."));
  EXPECT_EQ(port.questions[0].icon, Icon::Information);
  EXPECT_EQ(Content(project()), Content(source()));  // a new project database with the standard values
}

TEST_F(WorkOnMdbTest, ReadsTheTemplatesOfBothSystemsAndMarksReadFailuresOnlyWhereEmpty) {
  WriteCfg();
  Standalone(false, true);
  CreateDatabaseFromSql(
      source(),
      SourceSql(kTemplate, QStringLiteral("INSERT INTO Source_DEFS VALUES (1, 'VisiWin32', 1, "
                                          "'T32_###Var_Name'), (2, 'VISIWIN32', 51, 'bad'), "
                                          "(3, 'VISIWIN', 2, 'ignored'), (4, 'visiwinstudio', 3, "
                                          "'###machine.###Var_Name'), (5, 'VISIWIN32', 2, 'P2');")));
  WorkOnMDB();
  const VarNameTemplateTable templates = ReadVarNameTemplates(source());
  EXPECT_EQ(templates[0][0], "T32_###Var_Name");
  EXPECT_EQ(templates[1][0], "###Var_Name");
  EXPECT_EQ(templates[0][1], "P2");
  EXPECT_EQ(templates[1][2], "###machine.###Var_Name");
  EXPECT_FALSE(AnyErrorHandled());  // reading the templates absorbs its failures
  EXPECT_EQ(Rows(source(), QStringLiteral("SELECT var_name FROM PRESET_DEFS")),
            QStringList({"T32_Doc_M1", "T32_Key"}));
}

TEST_F(WorkOnMdbTest, WithoutASourceDatabaseNothingHappens) {
  WriteCfg();
  Standalone();
  CreateDatabaseFromSql(project(), ProjectSql(QString()));
  const QByteArray before = ReadFile(project());
  WorkOnMDB();
  EXPECT_EQ(ReadFile(project()), before);
  EXPECT_FALSE(AnyErrorHandled());
}

TEST_F(WorkOnMdbTest, TheDemoProjectUpdatesSilentlyWithoutErrors) {
  WriteCfg();
  Standalone(false, true);
  context->project.machines = QStringList{QStringLiteral("Wrapper")};
  for (const QString& name : {QStringLiteral("Documentation_Source"), QStringLiteral("Documentation")}) {
    CreateDatabaseFromSql(install.component() + "/" + name + ".mdb",
                          ReadFile(QStringLiteral(QVZ_DEMO_DIR "/Documentation/") + name + ".sql"));
  }
  const QString values =
      QStringLiteral("SELECT abs_min, abs_max, min, max, pass FROM PRESET_DEFS ORDER BY ID");
  const QStringList before = Rows(project(), values);
  WorkOnMDB();
  EXPECT_FALSE(AnyErrorHandled());
  EXPECT_EQ(Content(project()), Content(source()));
  EXPECT_EQ(Rows(project(), QStringLiteral("SELECT count(*) FROM PRESET_DEFS")), QStringList{"30"});
  EXPECT_EQ(Rows(project(), values), before);  // the operator values of every record survive the update
  EXPECT_EQ(Rows(project(), QStringLiteral("SELECT var_name, text FROM PRESET_DEFS WHERE ID = 3")),
            QStringList{"DocKey2_Document_Wrapper|Document of key 2 on Wrapper"});
}

TEST_F(WorkOnMdbTest, SourceThatIsNoDatabaseOrHasNoTemplateTableNeverReplacesTheProject) {
  WriteCfg();
  Standalone(false, true);
  CreateDatabaseFromSql(project(), ProjectSql({}));
  const QByteArray projectBytes = ReadFile(project());

  WriteFile(source(), "not a database");
  WorkOnMDB();
  EXPECT_TRUE(AnyErrorHandled());
  EXPECT_EQ(ReadFile(project()), projectBytes);

  CreateDatabaseFromSql(source(),
                        "CREATE TABLE Source_DEFS (ID INTEGER, System TEXT, Part INTEGER, Var_Name TEXT);");
  WorkOnMDB();
  EXPECT_EQ(ReadFile(project()), projectBytes);
}

// The update at the edges: whatever goes wrong, no operator value is lost and no failure passes for a
// success.
namespace {

QString Report(const QString& component) {
  return component + NativePath("/Documentation_Update.txt");
}

// The report's lines, which end in CR LF.
QStringList ReportLines(const QString& component) {
  return QString::fromLatin1(ReadFile(Report(component))).split(QStringLiteral("\r\n"));
}

}  // namespace

class UpdateEdgeTest : public PresetsTest {
 protected:
  void SetUp() override {
    WriteCfg();
    Standalone(false, true);
    CreateDatabaseFromSql(source(), SourceSql(kTemplate));
    CreateDatabaseFromSql(project(),
                          ProjectSql(OldRow(QStringLiteral("M1"), QStringLiteral("Doc_M1"), 12, 100)));
  }
  // Runs the update and expects it to fail without touching the project database.
  void ExpectProjectKept(const char* expectedInLog) {
    const QByteArray before = ReadFile(project());
    WorkOnMDB();
    EXPECT_TRUE(AnyErrorHandled());
    EXPECT_EQ(ReadFile(project()), before);
    EXPECT_TRUE(ReadFile(install.errorLog()).contains(expectedInLog))
        << ReadFile(install.errorLog()).toStdString();
    EXPECT_TRUE(ReadFile(install.serviceLog()).contains("! Fault Documentation_Config: Unexpected error!"));
  }
};

TEST_F(UpdateEdgeTest, AnIncompleteGenerationNeverReplacesTheProjectDatabase) {
  // Machine 1 takes part but the program INI names no machine.
  context->project.machines.clear();
  ExpectProjectKept("/ CreateRecordSets (Nr. 9) :Subscript out of range");
  // The template cannot be read in ID order.
  Standalone(false, true);
  db::Connection::Open(source()).Exec(
      QStringLiteral("ALTER TABLE Source_PRESET_DEFS RENAME COLUMN ID TO Nr"));
  ExpectProjectKept("/ CreateRecordSets (Nr. 1) :no such column: Source_PRESET_DEFS.ID");
  // The name templates cannot be read.
  Standalone(false, true);
  CreateDatabaseFromSql(source(), SourceSql(kTemplate).replace("System TEXT(20)", "Sys TEXT(20)"));
  ExpectProjectKept("/ WorkOnMDB (Nr. 1) :no such column: System");
}

TEST_F(UpdateEdgeTest, ACfgFileGoneAfterStartUpEndsTheRunBeforeTheProjectIsReplaced) {
  // The configuration was read at start-up; the CFG file is then removed, or a folder takes its place.
  for (const bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "folder" : "removed");
    Standalone(false, true);
    Context();
    const QByteArray before = ReadFile(project());
    ASSERT_TRUE(QFile::remove(install.cfg()));
    if (folder) {
      ASSERT_TRUE(QDir().mkpath(install.cfg()));
    }
    EXPECT_EQ(EndStatusOf([&] { ::WorkOnMDB(*context); }), 1);
    EXPECT_EQ(ReadFile(project()), before);
    EXPECT_TRUE(ReadFile(install.serviceLog()).contains("File not found:"));
    if (folder) {
      ASSERT_TRUE(QDir(install.cfg()).removeRecursively());
    }
    WriteCfg();
  }
}

TEST_F(UpdateEdgeTest, AFieldTypeThatIsNoTypeNameIsRefused) {
  CreateDatabaseFromSql(source(), SourceSql(kTemplate).replace(
                                      "page_name TEXT(50)",
                                      "page_name \"x); DROP TABLE Source_DEFS; CREATE TABLE pwned(a); --\""));
  ExpectProjectKept("has a type that is no type name");
  EXPECT_EQ(
      Rows(source(), QStringLiteral("SELECT name FROM sqlite_master WHERE name IN ('Source_DEFS', 'pwned')")),
      QStringList{"Source_DEFS"});
  // Type names with words, digits and a size list are copied as they are.
  for (const char* type : {"TEXT(50)", "DOUBLE PRECISION", "NUMERIC(10, 2)", "varchar ( 255 )"}) {
    EXPECT_TRUE(db::IsPlainTypeName(QString::fromLatin1(type))) << type;
  }
  for (const char* type : {"x)", "TEXT(50) DEFAULT 'a'", "INT, b INT", "TEXT(1)(2)"}) {
    EXPECT_FALSE(db::IsPlainTypeName(QString::fromLatin1(type))) << type;
  }
}

TEST_F(UpdateEdgeTest, AUserFieldCalledRowIdCannotRedirectTheValues) {
  // VisiWin Studio names: the project's records are renamed before their values are taken over.
  Standalone(true, true);
  QByteArray sql = SourceSql({{1, "M1", "1", "A", 1}, {2, "M1", "1", "B", 2}, {3, "M1", "1", "C", 3}});
  CreateDatabaseFromSql(
      source(), sql.replace("pass INTEGER", "pass INTEGER, RowID INTEGER").replace("1, 0);", "1, 0, 7);"));
  QString rows;
  for (const auto& [name, offset] : {std::pair{"A", 1}, {"B", 2}, {"C", 3}}) {
    rows += OldRow("M1", name, offset, offset * 100).replace(");", ", 2, 2);");
  }
  CreateDatabaseFromSql(
      project(), ProjectSql(rows).replace("pass INTEGER", "pass INTEGER, _ROWID_ INTEGER, RowId INTEGER"));
  WorkOnMDB();
  EXPECT_FALSE(AnyErrorHandled()) << ReadFile(install.errorLog()).toStdString();
  EXPECT_EQ(Rows(project(), QStringLiteral("SELECT var_name, abs_min FROM PRESET_DEFS ORDER BY ID")),
            QStringList({"M1.A|100.0", "M1.B|200.0", "M1.C|300.0"}));
}

TEST_F(UpdateEdgeTest, EachRenameSucceedsOrFailsOnItsOwn) {
  // A unique index: "A" cannot become "M1.A", which exists; "B" is renamed all the same.
  Standalone(true, true);
  CreateDatabaseFromSql(source(), SourceSql({{1, "M1", "1", "A", 1}, {2, "M1", "1", "B", 2}}));
  CreateDatabaseFromSql(project(), ProjectSql(OldRow("M1", "A", 1, 100) + OldRow("M1", "M1.A", 1, 150) +
                                              OldRow("M1", "B", 2, 200)) +
                                       "CREATE UNIQUE INDEX names ON PRESET_DEFS (var_name);");
  WorkOnMDB();
  EXPECT_EQ(Rows(project(), QStringLiteral("SELECT var_name, abs_min FROM PRESET_DEFS ORDER BY ID")),
            QStringList({"M1.A|150.0", "M1.B|200.0"}));
  EXPECT_TRUE(
      ReadFile(install.errorLog()).contains("/ VarNameInQuelleErsetzen (Nr. 2067) :UNIQUE constraint"));
}

TEST_F(UpdateEdgeTest, ARenamedRecordIsMatchedByTheNameThatTheProjectTableStores) {
  // "M1.012" becomes "012", the new record's name. A CHECK refuses the new name, and a numeric var_name
  // field stores it as 12: either way the old record keeps no name of the new record, and the template's
  // values stay. A text field keeps "012", and the old values are taken over. A table whose name only
  // folds like PRESET_DEFS, made first, is the one the takeover reads: its record was not renamed.
  const QString renamed = QString::fromUtf8(ProjectSql(OldRow("M1", "M1.012", 1, 100)));
  const QString lookalike = QString::fromUtf8(ProjectSql(OldRow("M1", "Other", 1, 300)))
                                .replace(QStringLiteral("PRESET_DEFS"), QStringLiteral("\"PRESET_DEFſ\""));
  const QString text = QStringLiteral("var_name TEXT(255)");
  const struct {
    QString project;
    const char* absMin;
  } cases[] = {
      {renamed, "100.0"},
      {QString(renamed).replace(text, text + QStringLiteral(" CHECK (var_name LIKE 'M1.%')")), "-1.0"},
      {QString(renamed).replace(text, QStringLiteral("var_name INTEGER")), "-1.0"},
      {lookalike + renamed, "-1.0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.project.toStdString());
    Standalone(false, true);
    CreateDatabaseFromSql(source(), SourceSql({{1, "M1", "1", "012", 1}}));
    CreateDatabaseFromSql(project(), c.project.toUtf8());
    WorkOnMDB();
    EXPECT_EQ(Rows(project(), QStringLiteral("SELECT abs_min FROM PRESET_DEFS")), QStringList{c.absMin});
  }
}

TEST_F(UpdateEdgeTest, AFailureRepeatedForEveryRecordIsReportedOnceWithItsCount) {
  std::vector<TemplateRecord> records;
  for (int i = 1; i <= 50; ++i) records.push_back({i, "M1", "99", QStringLiteral("V%1").arg(i), i});
  CreateDatabaseFromSql(source(), SourceSql(records));
  WorkOnMDB();
  EXPECT_EQ(
      LogLines(install.errorLog()),
      QStringList{"Fehler in Documentation / Documentation_Config / CreateRecordSets (Nr. 9) :Subscript out "
                  "of range (50 records)"});
  EXPECT_EQ(ReadFile(install.serviceLog()).count("! Fault"), 1);
}

#ifndef _WIN32  // a full disk is made with a file-size limit
TEST_F(UpdateEdgeTest, ADiskThatFillsDuringTheGenerationIsReportedOnceAndKeepsTheProjectDatabase) {
  std::vector<TemplateRecord> records;
  for (int i = 1; i <= 5000; ++i) records.push_back({i, "M1", "1", QStringLiteral("Variable_%1").arg(i), i});
  CreateDatabaseFromSql(source(), SourceSql(records));
  const QByteArray before = ReadFile(project());
  {
    const FileSizeLimit full(QFileInfo(source()).size() + (64 << 10));
    WorkOnMDB();
  }
  EXPECT_EQ(ReadFile(project()), before);
  const QStringList log = LogLines(install.errorLog());
  ASSERT_EQ(log.size(), 1) << log.join('\n').toStdString();
  EXPECT_TRUE(ReadFile(Report(install.component()))
                  .contains("Outcome: the project database is not replaced: " + log[0].toUtf8()));
}
#endif

TEST_F(UpdateEdgeTest, AProjectDatabaseInUseOrAnotherUpdateIsLeftAlone) {
  {
    // Another program writes the project database and has not committed yet.
    db::Connection other = db::Connection::Open(project());
    other.Exec(QStringLiteral("BEGIN EXCLUSIVE; UPDATE PRESET_DEFS SET pass = 9"));
    ExpectProjectKept("is in use by another program");
    EXPECT_NO_THROW(other.Exec(QStringLiteral("COMMIT")));
  }
  EXPECT_EQ(Rows(project(), QStringLiteral("SELECT pass FROM PRESET_DEFS")), QStringList{"9"});
  // Another run of the program updates the same project.
  Standalone(false, true);
  const RunLock otherRun(install.component(), std::chrono::milliseconds(0));
  ASSERT_TRUE(otherRun.held());
  Run().lockWait = std::chrono::milliseconds(50);
  const QByteArray before = ReadFile(project());
  ::WorkOnMDB(Run());
  EXPECT_EQ(ReadFile(project()), before);
  EXPECT_TRUE(ReadFile(install.serviceLog()).contains("Another run is updating the project database"));
}

TEST_F(UpdateEdgeTest, ALinkedProjectDatabaseIsWrittenThrough) {
#ifdef _WIN32
  GTEST_SKIP() << "QFile::link makes a Windows shortcut, not a link that file calls follow";
#endif
  const QString elsewhere = install.root() + QStringLiteral("/shared/Documentation.mdb");
  QDir().mkpath(QFileInfo(elsewhere).absolutePath());
  ASSERT_TRUE(QFile::rename(project(), elsewhere));
  ASSERT_TRUE(QFile::link(elsewhere, project()));
  WorkOnMDB();
  EXPECT_FALSE(AnyErrorHandled());
  EXPECT_TRUE(QFileInfo(project()).isSymLink());
  EXPECT_EQ(Content(elsewhere), Content(source()));
  EXPECT_EQ(Rows(elsewhere, QStringLiteral("SELECT abs_min FROM PRESET_DEFS WHERE ID = 1")),
            QStringList{"100.0"});
}

TEST_F(UpdateEdgeTest, AProjectDatabaseInLogModeGivesTheLoggedValuesAndKeepsNoLog) {
  // Another program put the project database in write-ahead-log mode, committed and died before a
  // checkpoint: the log holds the value.
  const QString image = install.root() + QStringLiteral("/image.mdb");
  {
    db::Connection other = db::Connection::OpenAsIs(project(), 0);
    other.Exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    other.Exec(QStringLiteral("UPDATE PRESET_DEFS SET abs_min = 42"));
    ASSERT_TRUE(QFile::copy(project(), image));
    ASSERT_TRUE(QFile::copy(project() + QStringLiteral("-wal"), image + QStringLiteral("-wal")));
  }
  QFile::remove(project());
  ASSERT_TRUE(QFile::rename(image, project()));
  ASSERT_TRUE(QFile::rename(image + QStringLiteral("-wal"), project() + QStringLiteral("-wal")));

  WorkOnMDB();
  EXPECT_FALSE(AnyErrorHandled()) << ReadFile(install.errorLog()).toStdString();
  EXPECT_EQ(Rows(project(), QStringLiteral("SELECT abs_min FROM PRESET_DEFS WHERE ID = 1")),
            QStringList{"42.0"});
  EXPECT_FALSE(QFile::exists(project() + QStringLiteral("-wal")));
  EXPECT_FALSE(QFile::exists(project() + QStringLiteral("-shm")));
  EXPECT_EQ(Rows(project(), QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
}

TEST_F(UpdateEdgeTest, TheReportCountsAndListsWhatTheUpdateDidAndCouldNotKeep) {
  // Studio names: "A" cannot become "M1.A", which exists (a unique index); "B" becomes "M1.B". Old "A"
  // and "Gone" match no new record and lose their values.
  Standalone(true, true);
  CreateDatabaseFromSql(source(),
                        SourceSql({{1, "M1", "1", "A", 1}, {2, "M1", "1", "B", 2}, {3, "M1", "1", "C", 3}}));
  CreateDatabaseFromSql(project(), ProjectSql(OldRow("M1", "A", 1, 100) + OldRow("M1", "M1.A", 1, 150) +
                                              OldRow("M1", "B", 2, 200) + OldRow("M1", "Gone", 9, 300)) +
                                       "CREATE UNIQUE INDEX names ON PRESET_DEFS (var_name);");
  WorkOnMDB();
  const QStringList lines = ReportLines(install.component());
  ASSERT_GT(lines.size(), 8) << lines.join('\n').toStdString();
  EXPECT_EQ(lines[0], "Documentation database update");
  EXPECT_EQ(lines.last(), "");  // the last line ends in CR LF too
  const QStringList expected = {
      "Run: update",
      "Mode: silent",
      "Source: " + source(),
      "Project database: " + project(),
      "Values taken from: " + project(),
      "Active system: VISIWINSTUDIO",
      "Renames that failed (the record keeps its old name):",
      "  A -> M1.A: UNIQUE constraint failed: PRESET_DEFS.var_name",
      "Old records that no new record matches (these values are not in the new table):",
      "  machine_type=\"M1\" var_name=\"A\" offset_or_bitno=1 abs_min=100 abs_max=101 min=102 max=103 "
      "pass=104",
      "  machine_type=\"M1\" var_name=\"Gone\" offset_or_bitno=9 abs_min=300 abs_max=301 min=302 max=303 "
      "pass=304",
      "  Template records read: 3",
      "  Records generated: 3",
      "  Old records read: 4",
      "  Records whose values were taken over: 2",
      "  Renames applied: 1",
      "  Renames failed: 1",
      "  Old records that no new record matches: 2",
      "Outcome: the project database is replaced; the one before is kept as " + project() + ".previous"};
  for (const QString& line : expected) {
    EXPECT_TRUE(lines.contains(line)) << line.toStdString() << "\nin\n" << lines.join('\n').toStdString();
  }
  EXPECT_LT(lines.indexOf(expected[7]), lines.indexOf(expected[9]));  // renames, records, counts, outcome
  EXPECT_LT(lines.indexOf(expected[10]), lines.indexOf(expected[11]));
}

TEST_F(UpdateEdgeTest, TheOneBeforeIsKeptAndPutBackOrTheProjectIsLeftAloneWhenItCannotBeKept) {
  // The kept copy is a database file of its own, in rollback-journal mode.
  const QStringList before = Content(project());
  const QString previous = project() + QStringLiteral(".previous");
  ASSERT_TRUE(QFile::link(project(), previous));  // an old link in its place is replaced, not written into
  WorkOnMDB();
  EXPECT_FALSE(AnyErrorHandled()) << ReadFile(install.errorLog()).toStdString();
  EXPECT_FALSE(QFileInfo(previous).isSymLink());
  EXPECT_EQ(Content(previous), before);
  EXPECT_EQ(Rows(previous, QStringLiteral("PRAGMA journal_mode")), QStringList{"delete"});
  const QStringList updated = Content(project());
  ASSERT_NE(updated, before);

  // Put back under the lock and through SQLite; the kept copy stays for another try.
  Standalone(false, true);
  EXPECT_EQ(RestorePreviousDatabase(Context()), 0);
  EXPECT_EQ(Content(project()), before);
  EXPECT_TRUE(QFile::exists(previous));

  // The copy cannot be kept (a folder is in its place): the project database keeps its content.
  ASSERT_TRUE(QFile::remove(previous));
  ASSERT_TRUE(QDir().mkpath(previous + QStringLiteral("/in-the-way")));
  Standalone(false, true);
  ExpectProjectKept("The previous project database cannot be kept");
  EXPECT_EQ(Content(project()), before);
  EXPECT_EQ(ReportLines(install.component()).filter("Outcome: the project database is not replaced").size(),
            1);
  EXPECT_EQ(QDir(install.component()).entryList({"*.new"}, QDir::Files | QDir::Hidden), QStringList());

  // Nothing to put back.
  ASSERT_TRUE(QDir(previous).removeRecursively());
  Standalone(false, true);
  EXPECT_EQ(RestorePreviousDatabase(Context()), 1);
  EXPECT_EQ(Content(project()), before);
}
