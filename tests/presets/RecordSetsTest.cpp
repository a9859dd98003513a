#include "framework/ErrorHandling.h"
#include "presets/Database.h"
#include "presets/DatabaseScript.h"
#include "presets/RecordSets.h"
#include "tests/presets/PresetsTestSupport.h"

TEST(ReplaceSearchItemTest, ReplacesOnlyTheFirstOccurrenceWithoutRegardToCase) {
  const QString item = QStringLiteral("###machine");
  EXPECT_EQ(ReplaceSearchItem(QStringLiteral("ABC###MACHINExyz"), item, QStringLiteral("M1")), "ABCM1xyz");
  EXPECT_EQ(ReplaceSearchItem(QStringLiteral("a###machine-###machine"), item, QStringLiteral("M1")),
            "aM1-###machine");
  EXPECT_EQ(ReplaceSearchItem(QStringLiteral("plain"), item, QStringLiteral("M1")), "plain");
  EXPECT_EQ(ReplaceSearchItem(QString(), item, QStringLiteral("M1")), "");
  EXPECT_EQ(
      ReplaceSearchItem(QStringLiteral("x###Var_Name"), QStringLiteral("###VAR_NAME"), QStringLiteral("ä")),
      "xä");
}

class RecordSetsTest : public PresetsTest {
 protected:
  // Generates into a fresh source database and returns its PRESET_DEFS (ID, part, var_name, text).
  QStringList Generate(const std::vector<TemplateRecord>& records) { return Generate(SourceSql(records)); }
  QStringList Generate(const QByteArray& sourceSql) {
    CreateDatabaseFromSql(source(), sourceSql);
    VarNameTemplateTable& templates = Run().varNameTemplates;
    templates[0][0] = QStringLiteral("###Var_Name");
    templates[1][0] = QStringLiteral("###machine.###Var_Name");
    templates[0][1] = QStringLiteral("P2_###Var_Name");
    templates[1][1] = QStringLiteral("###machine.###machine.###machine.###Var_Name");
    db::Connection database = db::Connection::Open(source());
    CreateRecordSets(database);
    return Rows(source(), QStringLiteral("SELECT ID, part, var_name, text FROM PRESET_DEFS ORDER BY rowid"));
  }
};

TEST_F(RecordSetsTest, WritesTemplateOrderWithFreshIdsAndTheActiveSystemsNames) {
  WriteCfg();
  const std::vector<TemplateRecord> records = {
      {7, QStringLiteral("###machine"), QStringLiteral("1"), QStringLiteral("Doc_###machine"), 1},
      {3, QStringLiteral("a"), QStringLiteral("2"), QStringLiteral("Key"), 2},
      {5, QStringLiteral("b"), QStringLiteral("1"), QStringLiteral("Sym"), 3, QStringLiteral("NULL")}};
  Standalone(false);
  EXPECT_EQ(Generate(records),
            QStringList({"1|2|P2_Key|Text M1 ###machine", "2|1|Sym|NULL", "3|1|Doc_M1|Text M1 ###machine"}));

  Standalone(true);
  Run().visiWinSystemIndex = 1;
  // Up to two "###machine" of a name are resolved, a third stays; machine_type keeps its first resolved.
  EXPECT_EQ(Generate(records), QStringList({"1|2|M1.M1.###machine.Key|Text M1 ###machine", "2|1|M1.Sym|NULL",
                                            "3|1|M1.Doc_M1|Text M1 ###machine"}));
  EXPECT_EQ(Rows(source(), QStringLiteral("SELECT machine_type FROM PRESET_DEFS WHERE ID = 3")),
            QStringList{"M1"});
}

TEST_F(RecordSetsTest, ATemplateTableWithoutRowNumbersIsGeneratedAlike) {
  WriteCfg();
  Standalone(false);
  const std::vector<TemplateRecord> records = {
      {7, QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("K7"), 1},
      {3, QStringLiteral("b"), QStringLiteral("2"), QStringLiteral("K3"), 2}};
  QByteArray sql = SourceSql(records);
  sql.replace("Source_PRESET_DEFS (ID INTEGER,", "Source_PRESET_DEFS (ID INTEGER PRIMARY KEY,");
  sql.insert(sql.indexOf(';', sql.indexOf("CREATE TABLE Source_PRESET_DEFS")), " WITHOUT ROWID");
  EXPECT_EQ(Generate(sql), Generate(records));
  EXPECT_FALSE(AnyErrorHandled());
}

TEST_F(RecordSetsTest, GeneratesOnlyWhenMachineOneTakesPart) {
  const std::vector<TemplateRecord> one = {
      {1, QStringLiteral("m"), QStringLiteral("1"), QStringLiteral("V"), 1}};
  for (const auto& [valid, expected] : std::vector<std::pair<QString, qsizetype>>{{QStringLiteral("all"), 1},
                                                                                  {QStringLiteral("M10"), 1},
                                                                                  {QStringLiteral("M2"), 0},
                                                                                  {QString(), 0}}) {
    Integrated(valid);
    EXPECT_EQ(Generate(one).size(), expected) << valid.toStdString();
  }
  WriteFile(install.cfg(), "[Project]\r\nForMachine2=TRUE\r\n");
  Standalone();
  EXPECT_TRUE(Generate(one).isEmpty());
  WriteFile(install.cfg(), "[Project]\r\nformachine1=true\r\n");
  EXPECT_EQ(Generate(one).size(), 1);
}

TEST_F(RecordSetsTest, ABadPartNumberGivesEmptyNamesForThatRecordAndIsReported) {
  WriteCfg();
  Standalone(false, true);
  const QStringList rows =
      Generate({{1, QStringLiteral("m"), QStringLiteral("2"), QStringLiteral("Good"), 1},
                {2, QStringLiteral("m"), QStringLiteral("51"), QStringLiteral("Bad"), 2},
                {3, QStringLiteral("m"), QStringLiteral("NULL"), QStringLiteral("Null"), 3},
                {4, QStringLiteral("m"), QStringLiteral("3"), QStringLiteral("Empty"), 4}});
  EXPECT_EQ(rows, QStringList({"1|2|P2_Good|Text M1 ###machine", "2|51||Text M1 ###machine",
                               "3|NULL||Text M1 ###machine", "4|3||Text M1 ###machine"}));
  // Each failure is reported once for the record it hit, not once per name of that record.
  const QStringList log = LogLines(install.errorLog());
  ASSERT_EQ(log.size(), 2);
  EXPECT_EQ(
      log[0],
      "Fehler in Documentation / Documentation_Config / CreateRecordSets (Nr. 9) :Subscript out of range");
  EXPECT_EQ(log[1],
            "Fehler in Documentation / Documentation_Config / CreateRecordSets (Nr. 13) :Type mismatch");
}

TEST_F(RecordSetsTest, CountsPastSixteenBits) {
  WriteCfg();
  Standalone();
  QByteArray sql = SourceSql({});
  sql +=
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 33000) "
      "INSERT INTO Source_PRESET_DEFS (ID, machine_type, part, var_name, offset_or_bitno) "
      "SELECT i, 'm', 1, 'V' || i, i FROM n;";
  CreateDatabaseFromSql(source(), sql);
  Run().varNameTemplates[0][0] = QStringLiteral("###Var_Name");
  db::Connection database = db::Connection::Open(source());
  CreateRecordSets(database);
  EXPECT_EQ(Rows(source(), QStringLiteral("SELECT count(*), max(ID) FROM PRESET_DEFS")),
            QStringList{"33000|33000"});
  EXPECT_FALSE(AnyErrorHandled());
}
