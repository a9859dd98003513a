#include "presets/Database.h"
#include "presets/DatabaseScript.h"
#include "presets/ProjectRenames.h"
#include "tests/presets/PresetsTestSupport.h"

class ProjectRenamesTest : public PresetsTest {
 protected:
  void MakeProject(const QStringList& names) {
    QString sql =
        QStringLiteral("CREATE TABLE PRESET_DEFS (ID INTEGER, Var_Name TEXT(255), Categorie INTEGER);");
    int id = 0;
    for (const QString& name : names) {
      sql += QStringLiteral("INSERT INTO PRESET_DEFS VALUES (%1, '%2', 0);")
                 .arg(++id)
                 .arg(QString(name).replace("'", "''"));
    }
    CreateDatabaseFromSql(project(), sql.toUtf8());
  }
  QStringList Names() {
    return Rows(project(), QStringLiteral("SELECT Var_Name FROM PRESET_DEFS ORDER BY ID"));
  }
};

TEST_F(ProjectRenamesTest, RenamesTheOtherSystemsNameToTheActiveOne) {
  MakeProject({"M1.X_M1", "m1.x_m1", "X_M1", "A\"B", "Other"});
  Run().visiWinSystemIndex = 0;
  VarNameInQuelleErsetzen(Run(), workingCopy(), QStringLiteral("X_M1"), QStringLiteral("M1.X_M1"));
  VarNameInQuelleErsetzen(Run(), workingCopy(), QStringLiteral("Q"),
                          QStringLiteral("a\"b"));  // a quote in a name still matches
  EXPECT_EQ(Names(), QStringList({"X_M1", "X_M1", "X_M1", "Q", "Other"}));
  Run().visiWinSystemIndex = 1;
  VarNameInQuelleErsetzen(Run(), workingCopy(), QStringLiteral("x_m1"), QStringLiteral("M1.X_M1"));
  EXPECT_EQ(Names(), QStringList({"M1.X_M1", "M1.X_M1", "M1.X_M1", "Q", "Other"}));
}

TEST_F(ProjectRenamesTest, BatchGivesTheResultOfOneCallPerNameInOrder) {
  const QStringList names = {"B", "a", "C", "Ü", "x", "D", "e"};
  // Renames of a name no record has yet do nothing, even when a later rename gives it (G); one that an
  // earlier rename made findable, in another case, still applies (e -> F1 -> G).
  const std::vector<std::pair<QString, QString>> pairs = {{"H", "G"},  {"A2", "A"}, {"B2", "b"},
                                                          {"C", "A2"}, {"ü2", "ü"}, {"Y", "D"},
                                                          {"D", "D2"}, {"F1", "E"}, {"G", "f1"}};
  Run().visiWinSystemIndex = 0;
  MakeProject(names);
  for (const auto& [name0, name1] : pairs) VarNameInQuelleErsetzen(Run(), workingCopy(), name0, name1);
  const QStringList oneByOne = Names();
  MakeProject(names);
  {
    RenameCalls calls(workingCopy(), Run().visiWinSystemIndex, static_cast<int64_t>(pairs.size()));
    for (const auto& [name0, name1] : pairs) calls.Add(name0.toUtf8(), name1.toUtf8());
    const RenameResult result = VarNamesInQuelleErsetzen(Run(), calls);
    EXPECT_EQ(result.calls, 9);
    EXPECT_EQ(result.renamed, 5);
    EXPECT_TRUE(result.failures.empty());
  }
  EXPECT_EQ(Names(), oneByOne);
  EXPECT_EQ(oneByOne, QStringList({"B2", "C", "C", "ü2", "x", "Y", "G"}));

  // A rename the table refuses is given back with both names and the reason; the others are written.
  Standalone(false, true);
  MakeProject({"a", "X", "b"});
  db::Connection::Open(project()).Exec(QStringLiteral("CREATE UNIQUE INDEX names ON PRESET_DEFS (Var_Name)"));
  RenameCalls refused(workingCopy(), 0, 2);
  refused.Add("X", "a");
  refused.Add("Y", "b");
  const RenameResult result = VarNamesInQuelleErsetzen(Run(), refused);
  EXPECT_EQ(result.renamed, 1);
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].oldName, "a");
  EXPECT_EQ(result.failures[0].newName, "X");
  EXPECT_EQ(result.failures[0].reason.number, 2067);  // SQLITE_CONSTRAINT_UNIQUE
  EXPECT_EQ(Names(), QStringList({"a", "X", "Y"}));
}

TEST_F(ProjectRenamesTest, RenamesTheOldCategoryFieldAndLeavesMissingDatabasesAlone) {
  VarNameInQuelleErsetzen(Run(), workingCopy(), QStringLiteral("a"), QStringLiteral("b"));
  CategorieNachCategoryID(Run(), workingCopy());
  EXPECT_FALSE(QFile::exists(project()));
  MakeProject({"a"});
  CategorieNachCategoryID(Run(), workingCopy());
  EXPECT_EQ(Rows(project(), QStringLiteral("SELECT category_id FROM PRESET_DEFS")), QStringList{"0"});
  CategorieNachCategoryID(Run(), workingCopy());  // nothing left to rename
  EXPECT_TRUE(ReadFile(install.errorLog()).isEmpty());
}
