#include "tests/support/TestSupport.h"
#include "texts/Language.h"

#include <gtest/gtest.h>

TEST(Language, MissingCodeDefaultsTo1031AndIsWrittenBack) {
  TempInstall install;
  ScriptedPort port;
  const auto context = install.Context(port);
  ErrorHandling& errors = context->errors;
  const QString ini = install.program() + NativePath("/Documentation_Config.ini");
  EXPECT_EQ(LanguageIniPath(install.location()), ini);
  EXPECT_EQ(GetLanguage(errors, ini), QStringLiteral("1031"));
  EXPECT_EQ(ReadFile(ini), QByteArray("[Language]\r\nLanguage=1031\r\n"));

  WriteFile(ini, "[Language]\r\nLanguage=\r\n");
  EXPECT_EQ(GetLanguage(errors, ini), QStringLiteral("1031"));
  EXPECT_EQ(ReadFile(ini), QByteArray("[Language]\r\nLanguage=1031\r\n"));
}

TEST(Language, StoredCodeIsReturnedUnchanged) {
  TempInstall install;
  ScriptedPort port;
  const QByteArray text = "[Language]\r\nLanguage=1033\r\n";
  const QString ini = install.program() + QStringLiteral("/Documentation_Config.ini");
  WriteFile(ini, text);
  EXPECT_EQ(GetLanguage(install.Context(port)->errors, ini), QStringLiteral("1033"));
  EXPECT_EQ(ReadFile(install.program() + QStringLiteral("/Documentation_Config.ini")), text);
}
