#include "framework/ErrorHandling.h"
#include "presets/Database.h"
#include "presets/DatabaseScript.h"
#include "presets/Takeover.h"
#include "presets/WorkOnMdb.h"
#include "tests/presets/PresetsTestSupport.h"

namespace {

const std::vector<TemplateRecord> kTemplate = {
    {1, QStringLiteral("M1"), QStringLiteral("1"), QStringLiteral("Doc_###machine"), 12},
    {2, QStringLiteral("M1"), QStringLiteral("1"), QStringLiteral("A\"B"), 5},
    {3, QStringLiteral("M1"), QStringLiteral("1"), QStringLiteral("Key"), 7},
    {4, QStringLiteral("M1"), QStringLiteral("1"), QStringLiteral("Key"), 7}};

const QString kValues =
    QStringLiteral("SELECT ID, abs_min, abs_max, min, max, pass, text FROM PRESET_DEFS ORDER BY ID");

}  // namespace

class TakeoverTest : public PresetsTest {
 protected:
  void MakeDatabases(const QString& oldRows, const QString& oldFields = QLatin1String(kPresetFields)) {
    CreateDatabaseFromSql(source(), SourceSql(kTemplate));
    CreateDatabaseFromSql(
        project(), (QStringLiteral("CREATE TABLE PRESET_DEFS (%1);").arg(oldFields) + oldRows).toUtf8());
  }
};

TEST_F(TakeoverTest, TakesTheFiveValuesOverByKeyWithoutRegardToCase) {
  WriteCfg();
  Standalone();
  MakeDatabases(OldRow(QStringLiteral("m1"), QStringLiteral("DOC_m1"), 12, 100) +
                OldRow(QStringLiteral("M1"), QStringLiteral("a\"b"), 5, 200) +
                OldRow(QStringLiteral("M1"), QStringLiteral("Key"), 7, 300) +
                OldRow(QStringLiteral("M1"), QStringLiteral("Key"), 8, 400) +
                OldRow(QStringLiteral("M1"), QStringLiteral("M1.Gone"), 9, 500));
  WorkOnMDB();
  EXPECT_EQ(
      Rows(source(), kValues),
      QStringList({"1|100.0|101.0|102.0|103.0|104|Text M1 ###machine",
                   "2|200.0|201.0|202.0|203.0|204|Text M1 ###machine",
                   "3|300.0|301.0|302.0|303.0|304|Text M1 ###machine",  // only the first of two equal keys
                   "4|-1.0|1.0|-1.0|1.0|0|Text M1 ###machine"}));
  EXPECT_FALSE(AnyErrorHandled());
}

TEST_F(TakeoverTest, AMissingDeclaredFieldEndsTheProgramBeforeTheProjectIsReplaced) {
  WriteCfg(QStringLiteral("DataBaseAdditionalFields=group\r\n"));
  Standalone(false, true);
  MakeDatabases(OldRow(QStringLiteral("M1"), QStringLiteral("Key"), 7, 300));
  const QByteArray before = ReadFile(project());
  EXPECT_EQ(EndStatusOf([&] { WorkOnMDB(); }), 1);
  EXPECT_EQ(ReadFile(project()), before);
  EXPECT_EQ(
      LogLines(install.errorLog()),
      QStringList({"Conflict while attempting to extend database!Configurationsfile \"DOCUMENTATION.CFG\", "
                   "demanded field \"GROUP\"missing in machinecopy-database\n\rConfiguration of "
                   "\"DOCUMENTATION\" aborted.",
                   "Fehler in Documentation / Documentation_Config / TakeoverMachineCopyMDBData (Nr. 9999) "
                   ":Database-Error - Contact Administrator!"}));
}

TEST_F(TakeoverTest, WarnsAboutFieldsThatWouldBeLost) {
  WriteCfg();
  const QString extra = QLatin1String(kPresetFields) + QStringLiteral(", extra TEXT");
  const QString row = OldRow(QStringLiteral("M1"), QStringLiteral("Key"), 7, 300).replace(");", ", 'x');");
  Standalone(false, true);
  MakeDatabases(row, extra);
  {
    db::Connection source = db::Connection::Open(this->source());
    source.Exec(QStringLiteral("INSERT INTO PRESET_DEFS SELECT * FROM Source_PRESET_DEFS"));
    db::Connection project = db::Connection::Open(this->project());
    TakeoverMachineCopyMDBData(source, project, QStringLiteral("PRESET_DEFS"));
  }
  EXPECT_EQ(
      QString::fromLatin1(ReadFile(install.serviceLog())),
      "! Fault Documentation_Config: WARNING!Machinecopy contains data in fields that won't be taken over!"
      "Configurationfile \"DOCUMENTATION.CFG\", missing entry \"DataBaseAdditionalFields \"If you continue "
      "now this data will be lost.Continue?\r\n");
  EXPECT_EQ(Rows(source(), QStringLiteral("SELECT pass FROM PRESET_DEFS WHERE ID = 3")), QStringList{"304"});

  Standalone();
  MakeDatabases(row, extra);
  db::Connection source = db::Connection::Open(this->source());
  db::Connection project = db::Connection::Open(this->project());
  EXPECT_EQ(EndStatusOf([&] { TakeoverMachineCopyMDBData(source, project, QStringLiteral("PRESET_DEFS")); }),
            1);
  ASSERT_EQ(port.questions.size(), 2u);  // the warning, answered No by default, then the fatal error
  EXPECT_EQ(port.questions[0].title, "Documentation_Config");
  EXPECT_TRUE(port.questions[0].text.startsWith("WARNING!\n\rMachinecopy contains data"));
  EXPECT_EQ(port.questions[1].title, "Fatal error");
  EXPECT_EQ(
      LogLines(install.errorLog()).at(0),
      "Documentation_Config :Database-Error - Contact Administrator! Configurationprogram \"DOCUMENTATION\" "
      "terminated. Please check Configuration in \"DOCUMENTATION.CFG\" Restart " +
          (install.program() + NativePath("/DOCUMENTATION_CONFIG")).toUpper() + ".EXE!");
}

TEST_F(TakeoverTest, AnEmptyOldTableTakesNothingOverAndReportsNothing) {
  WriteCfg();
  Standalone();
  MakeDatabases(QString());
  WorkOnMDB();
  EXPECT_FALSE(AnyErrorHandled());
  EXPECT_EQ(Rows(source(), QStringLiteral("SELECT count(*) FROM PRESET_DEFS")), QStringList{"4"});
}

TEST_F(TakeoverTest, ASchemaFaultIsReportedOnceAndStopsTheTakeover) {
  WriteCfg();
  Standalone(false, true);
  MakeDatabases(OldRow(QStringLiteral("M1"), QStringLiteral("Key"), 7, 300) +
                OldRow(QStringLiteral("M1"), QStringLiteral("Doc_M1"), 12, 100));
  db::Connection::Open(source()).Exec(
      QStringLiteral("ALTER TABLE Source_PRESET_DEFS RENAME COLUMN category_id TO cat"));
  WorkOnMDB();
  EXPECT_EQ(
      LogLines(install.errorLog()),
      QStringList{"Fehler in Documentation / SQLite / TakeoverMachineCopyMDBData (Nr. 1) :no such column: "
                  "category_id"});
  EXPECT_EQ(Rows(source(), QStringLiteral("SELECT pass FROM PRESET_DEFS WHERE ID = 3")), QStringList{"0"});
}

// A rebuilt table larger than the cache is written in table order: the same values as written directly,
// and the same account of what was taken over and what was not.
TEST_F(TakeoverTest, ATableLargerThanTheCacheGetsTheSameValues) {
  WriteCfg();
  Standalone();
  QStringList results;
  for (const int cachePages : {-32768, 0}) {
    MakeDatabases(OldRow(QStringLiteral("m1"), QStringLiteral("KEY"), 7, 300) +
                  OldRow(QStringLiteral("M1"), QStringLiteral("Key"), 7, 400) +
                  OldRow(QStringLiteral("M1"), QStringLiteral("Gone"), 7, 600) +
                  OldRow(QStringLiteral("M1"), QStringLiteral("doc_###MACHINE"), 12, 100) +
                  OldRow(QStringLiteral("M1"), QStringLiteral("Key"), 70, 500));
    db::Connection source = db::Connection::Open(this->source());
    source.Exec(
        QStringLiteral("INSERT INTO PRESET_DEFS SELECT * FROM Source_PRESET_DEFS; PRAGMA cache_size=%1")
            .arg(cachePages));
    db::Connection project = db::Connection::Open(this->project());
    QStringList unmatched;
    const TakeoverResult result = TakeoverMachineCopyMDBData(
        source, project, QStringLiteral("PRESET_DEFS"), [&](const UnmatchedRecord& r) {
          QStringList shown{db::ToQString(r.machine), db::ToQString(r.varName), db::ToQString(r.offset)};
          for (const db::Value& v : r.values) shown << db::ToQString(v);
          unmatched << shown.join(QLatin1Char('|'));
        });
    EXPECT_EQ(result.oldRecords, 5);
    EXPECT_EQ(result.takenOver, 2);
    EXPECT_EQ(result.unmatched, 2);
    unmatched.sort();  // they come in the order of the keys' hashes
    results << Rows(this->source(), kValues).join(QLatin1Char(';')) + QLatin1Char(';') +
                   unmatched.join(QLatin1Char(';'));
  }
  EXPECT_EQ(results[0], results[1]);
  EXPECT_EQ(results[0].split(';'),
            QStringList({"1|100.0|101.0|102.0|103.0|104|Text ###machine ###machine",
                         "2|-1.0|1.0|-1.0|1.0|0|Text ###machine ###machine",
                         "3|400.0|401.0|402.0|403.0|404|Text ###machine ###machine",
                         "4|-1.0|1.0|-1.0|1.0|0|Text ###machine ###machine",
                         // the old records no rebuilt record matches
                         "M1|Gone|7|600|601|602|603|604", "M1|Key|70|500|501|502|503|504"}));
  EXPECT_FALSE(AnyErrorHandled());
}
