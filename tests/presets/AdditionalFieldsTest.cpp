#include "presets/AdditionalFields.h"
#include "tests/presets/PresetsTestSupport.h"

using AdditionalFieldsTest = PresetsTest;

TEST_F(AdditionalFieldsTest, ListsPartFirstAndKeepsNamesAsWritten) {
  WriteFile(install.cfg(), "[Project]\r\n");
  GetAddFields(Run());
  EXPECT_EQ(run->addFields->list, QStringList({"", "part"}));
  EXPECT_EQ(run->addFields->sql, ", PRESET_DEFS.part");
  EXPECT_EQ(run->addFields->count, 1);

  WriteFile(install.cfg(), "[Project]\r\nDataBaseAdditionalFields=group,page_no\r\n");
  GetAddFields(Run());
  EXPECT_EQ(run->addFields->sql, ", PRESET_DEFS.part, PRESET_DEFS.group, PRESET_DEFS.page_no");
  EXPECT_EQ(run->addFields->count, 3);

  WriteFile(install.cfg(), "[Project]\r\nDataBaseAdditionalFields=\" a,,b,\"\r\n");
  GetAddFields(Run());
  EXPECT_EQ(run->addFields->list, QStringList({"", "part", " a", "", "b", ""}));
  EXPECT_EQ(run->addFields->count, 5);
}
