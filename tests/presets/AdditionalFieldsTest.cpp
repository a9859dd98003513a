#include "presets/AdditionalFields.h"
#include "presets/PresetState.h"
#include "tests/presets/PresetsTestSupport.h"

using AdditionalFieldsTest = PresetsTest;

TEST_F(AdditionalFieldsTest, ListsPartFirstAndKeepsNamesAsWritten) {
  WriteFile(install.cfg(), "[Project]\r\n");
  GetAddFields();
  EXPECT_EQ(*AddFieldsList, QStringList({"", "part"}));
  EXPECT_EQ(AddFieldsSQL, ", PRESET_DEFS.part");
  EXPECT_EQ(AddFieldsCount, 1);

  WriteFile(install.cfg(), "[Project]\r\nDataBaseAdditionalFields=group,page_no\r\n");
  GetAddFields();
  EXPECT_EQ(AddFieldsSQL, ", PRESET_DEFS.part, PRESET_DEFS.group, PRESET_DEFS.page_no");
  EXPECT_EQ(AddFieldsCount, 3);

  WriteFile(install.cfg(), "[Project]\r\nDataBaseAdditionalFields=\" a,,b,\"\r\n");
  GetAddFields();
  EXPECT_EQ(*AddFieldsList, QStringList({"", "part", " a", "", "b", ""}));
  EXPECT_EQ(AddFieldsCount, 5);
}
