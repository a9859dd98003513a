// Program folder, base folder, component name and the file-name rule.
#include "framework/ProgramLocation.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramLocationTest, BaseFolderIsTheParentWithEitherSeparator) {
  EXPECT_EQ(ProgramLocation("D:\\Proj\\Tools", "Documentation_Config").BaseFolder(), "D:\\Proj");
  const ProgramLocation root("C:\\", "Documentation_Config");
  EXPECT_EQ(root.ProgramFolder(), "C:\\");
  EXPECT_EQ(root.BaseFolder(), "C:");
  const ProgramLocation trailing("/opt/hmi/program/", "Documentation_Config");
  EXPECT_EQ(trailing.ProgramFolder(), "/opt/hmi/program");
  EXPECT_EQ(trailing.BaseFolder(), "/opt/hmi");
  EXPECT_EQ(ProgramLocation("/", "Documentation_Config").BaseFolder(), "");
}

TEST(ProgramLocationTest, ComponentNameDropsTheSevenCharacterSuffix) {
  EXPECT_EQ(ProgramLocation("/p", "Documentation_Config").GetOCXName(), "Documentation");
  EXPECT_EQ(ProgramLocation("/p", "_Config").GetOCXName(), "");
  EXPECT_EQ(ProgramLocation("/p", "abc").GetOCXName(), "");
}

TEST(ProgramLocationTest, FileNameOnlyIsTheTextAfterTheLastSeparator) {
  EXPECT_EQ(GetFileNameOnly("C:\\a\\b\\c.txt"), "c.txt");
  EXPECT_EQ(GetFileNameOnly("c.txt"), "c.txt");
  EXPECT_EQ(GetFileNameOnly("C:\\a\\"), "");
  EXPECT_EQ(GetFileNameOnly("/work/demo/program"), "program");
  EXPECT_EQ(GetFileNameOnly("/a\\b/c\\d"), "d");
}

}  // namespace
