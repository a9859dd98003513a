// The four INI functions: value conventions, limits, reports and the overflow trap.
#include "framework/IniAccess.h"
#include "tests/support/TestSupport.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class IniAccessTest : public ::testing::Test {
 protected:
  TempInstall install;
  ScriptedPort port;
  std::unique_ptr<ProjectContext> context = install.Context(port);
  ErrorHandling& errors = context->errors;
  QString file = install.root() + QStringLiteral("/values.ini");
};

TEST_F(IniAccessTest, MissingFileSectionEntryAndEmptyValueReadAlike) {
  WriteFile(file, "[S]\r\nempty=\r\n");
  for (const auto& [section, entry] : {std::pair{"S", "empty"}, {"S", "none"}, {"None", "x"}}) {
    EXPECT_EQ(LoadIniString(errors, section, entry, file), "");
    EXPECT_FALSE(LoadIniBoolean(errors, section, entry, file));
  }
  EXPECT_EQ(LoadIniInteger(errors, "S", "none", file), -1);
  EXPECT_EQ(LoadIniInteger(errors, "S", "x", install.root() + "/none.ini"), -1);
  EXPECT_TRUE(port.questions.empty());
}

TEST_F(IniAccessTest, LongValuesComeBackWith254Characters) {
  WriteFile(file, "[S]\r\nv=" + QByteArray(300, 'x') + "\r\n");
  EXPECT_EQ(LoadIniString(errors, "S", "v", file), QString(254, u'x'));
}

TEST_F(IniAccessTest, BooleansAreTrueOnlyForTrueInAnyCase) {
  WriteFile(file, "[S]\r\na=TRUE\r\nb=True\r\nc=true\r\nd=1\r\ne=yes\r\nf=on\r\ng=FaLsE\r\n");
  for (const char* entry : {"a", "b", "c"}) EXPECT_TRUE(LoadIniBoolean(errors, "S", entry, file)) << entry;
  for (const char* entry : {"d", "e", "f", "g"})
    EXPECT_FALSE(LoadIniBoolean(errors, "S", entry, file)) << entry;
  EXPECT_TRUE(port.questions.empty());
  LoadIniBoolean(errors, "S", "d", file, true);
  LoadIniBoolean(errors, "S", "g", file, true);
  ASSERT_EQ(port.questions.size(), 1u);
}

TEST_F(IniAccessTest, MissingEntryIsReportedOnceWithFileSectionEntry) {
  LoadIniString(errors, "Sec", "Ent", file, true);
  ASSERT_EQ(port.questions.size(), 1u);
  const Question& q = port.questions[0];
  EXPECT_EQ(q.text, "File '" + file + "' or Section [Sec] or Entry 'Ent' not found");
  EXPECT_EQ(q.title, "Documentation_Config");
  EXPECT_EQ(q.icon, Icon::Critical);
  EXPECT_EQ(q.buttons, Buttons::Ok);
}

TEST_F(IniAccessTest, ReportsGoToTheServiceLogInSilentMode) {
  const auto silent = install.Context(port, "EXTERNAL=SILENT");
  LoadIniInteger(silent->errors, "Sec", "Ent", file, true);
  EXPECT_TRUE(port.questions.empty());
  EXPECT_EQ(ReadFile(install.serviceLog()), "! Fault Documentation_Config: File '" + file.toLocal8Bit() +
                                                "' or Section [Sec] or Entry 'Ent' not found\r\n");
}

TEST_F(IniAccessTest, IntegerOverflowGoesToTheCentralHandlerAndResumesWithZero) {
  WriteFile(file, "[S]\r\nbig=40000\r\nneg=-1\r\nok=-32768\r\n");
  port.answers = {Answer::Yes};
  EXPECT_EQ(LoadIniInteger(errors, "S", "big", file), 0);
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0].title, "Unexpected error");
  EXPECT_TRUE(ReadFile(install.errorLog()).contains("/ LoadIniInteger (Nr. 6) :"));
  EXPECT_EQ(LoadIniInteger(errors, "S", "ok", file), -32768);
  EXPECT_EQ(LoadIniInteger(errors, "S", "neg", file, true), -1);
  EXPECT_EQ(port.questions.size(), 2u);  // -1 is reported as missing
  port.answers = {Answer::No};
  EXPECT_EQ(EndStatusOf([&] { LoadIniInteger(errors, "S", "big", file); }), 1);
}

TEST_F(IniAccessTest, SaveWritesEachValueKindAsWindowsProgramsExpect) {
  EXPECT_NE(SaveIni(errors, true, "S", "bool", file), 0);
  EXPECT_NE(SaveIni(errors, 3.5, "S", "double", file), 0);
  EXPECT_NE(SaveIni(errors, int16_t{7}, "S", "int", file), 0);
  EXPECT_NE(SaveIni(errors, int32_t{-2}, "S", "long", file), 0);
  EXPECT_NE(SaveIni(errors, 2.25f, "S", "single", file), 0);
  EXPECT_NE(SaveIni(errors, uint8_t{255}, "S", "byte", file), 0);
  EXPECT_NE(SaveIni(errors, "text", "S", "text", file), 0);
  EXPECT_NE(SaveIni(errors, "", "S", "empty", file), 0);
  EXPECT_EQ(ReadFile(file),
            "[S]\r\nbool=true\r\ndouble=3.5\r\nint=7\r\nlong=-2\r\nsingle=2.25\r\nbyte=255\r\ntext="
            "text\r\nempty=\r\n");
  EXPECT_TRUE(port.questions.empty());

  SaveIni(errors, UnsupportedValue{"Date"}, "S", "text", file);
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0].text, "Ini Save:  wrong data type");
  EXPECT_EQ(LoadIniString(errors, "S", "text", file), "");
  EXPECT_FALSE(ReadFile(file).contains("text="));
}

TEST_F(IniAccessTest, FailedSaveReturnsZero) {
  EXPECT_EQ(SaveIni(errors, "v", "S", "k", install.root() + "/missing/folder/x.ini"), 0);
#ifndef _WIN32  // Windows has no device at a path that a link could lead to
  // A settings file that is a link to a device is not replaced: the device stays a device.
  ASSERT_TRUE(QFile::link("/dev/null", file));
  EXPECT_EQ(SaveIni(errors, "v", "S", "k", file), 0);
  EXPECT_EQ(SaveIniEntries(errors, {{QStringLiteral("v"), "S", "k"}}, file), 0);
  EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile());
#endif
}

}  // namespace

namespace {

TEST_F(IniAccessTest, SeveralEntriesGoToTheFileInOneRewrite) {
  WriteFile(file, "[B]\r\nkeep=1\r\nold=x\r\n");
  EXPECT_NE(SaveIniEntries(errors,
                           {{QStringLiteral("a"), "A", "one"},
                            {true, "B", "flag"},
                            {QStringLiteral("b"), "A", "two"},
                            {QStringLiteral("y"), "b", "OLD"}},
                           file),
            0);
  // The same bytes as four single writes would give.
  EXPECT_EQ(ReadFile(file), "[B]\r\nkeep=1\r\nold=y\r\nflag=true\r\n[A]\r\none=a\r\ntwo=b\r\n");

  // Entries that are already as asked leave the file alone; a missing file is not created to remove one.
  const QString missing = install.root() + QStringLiteral("/missing.ini");
  EXPECT_NE(SaveIniEntries(errors, {{QStringLiteral("x"), "B", "keep"}}, file), 0);
  EXPECT_EQ(ReadFile(file), "[B]\r\nkeep=x\r\nold=y\r\nflag=true\r\n[A]\r\none=a\r\ntwo=b\r\n");
  port.questions.clear();
  EXPECT_NE(SaveIniEntries(errors, {{UnsupportedValue{"Date"}, "S", "gone"}}, missing), 0);
  EXPECT_FALSE(QFile::exists(missing));
  EXPECT_EQ(SaveIniEntries(errors, {{QStringLiteral("v"), "S", "e"}},
                           install.root() + QStringLiteral("/no/such/dir.ini")),
            0);
}

}  // namespace
