// Program folder, base folder, component name and the file-name rule.
#include "framework/ProgramLocation.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramLocationTest, BaseFolderIsTheParentWithEitherSeparator) {
  SetProgramLocation("D:\\Proj\\Tools", "Documentation_Config");
  EXPECT_EQ(BaseFolder(), "D:\\Proj");
  SetProgramLocation("C:\\", "Documentation_Config");
  EXPECT_EQ(ProgramFolder(), "C:\\");
  EXPECT_EQ(BaseFolder(), "C:");
  SetProgramLocation("/opt/hmi/program/", "Documentation_Config");
  EXPECT_EQ(ProgramFolder(), "/opt/hmi/program");
  EXPECT_EQ(BaseFolder(), "/opt/hmi");
  SetProgramLocation("/", "Documentation_Config");
  EXPECT_EQ(BaseFolder(), "");
}

TEST(ProgramLocationTest, ComponentNameDropsTheSevenCharacterSuffix) {
  SetProgramLocation("/p", "Documentation_Config");
  EXPECT_EQ(GetOCXName(), "Documentation");
  SetProgramLocation("/p", "_Config");
  EXPECT_EQ(GetOCXName(), "");
  SetProgramLocation("/p", "abc");
  EXPECT_EQ(GetOCXName(), "");
}

TEST(ProgramLocationTest, FileNameOnlyIsTheTextAfterTheLastSeparator) {
  EXPECT_EQ(GetFileNameOnly("C:\\a\\b\\c.txt"), "c.txt");
  EXPECT_EQ(GetFileNameOnly("c.txt"), "c.txt");
  EXPECT_EQ(GetFileNameOnly("C:\\a\\"), "");
  EXPECT_EQ(GetFileNameOnly("/work/demo/program"), "program");
  EXPECT_EQ(GetFileNameOnly("/a\\b/c\\d"), "d");
}

}  // namespace
