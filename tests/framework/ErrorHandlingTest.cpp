// The central handler, both logs, the trap's resume rules and the cancel question.
#include "framework/ErrorHandling.h"
#include "framework/ErrorTrap.h"
#include "tests/support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

class ErrorHandlingTest : public ::testing::Test {
 protected:
  QByteArray UpperErrorLog() const { return install.errorLog().toUpper().toLocal8Bit(); }
  // The handler of a run started with the command line.
  ErrorHandling& Errors(const QString& commandLine = {}) {
    context = install.Context(port, commandLine);
    return context->errors;
  }
  TempInstall install;
  ScriptedPort port;
  std::unique_ptr<ProjectContext> context = install.Context(port);
  ErrorHandling& errors = context->errors;
};

TEST_F(ErrorHandlingTest, LogsTheLineAndAsksWhetherToResume) {
  port.answers = {Answer::Yes};
  EXPECT_EQ(errors.HandleError(53, "S", "D", "GetCFGPath", false), 2);
  EXPECT_EQ(ReadFile(install.errorLog()), "Fehler in Documentation / S / GetCFGPath (Nr. 53) :D\r\n");
  ASSERT_EQ(port.questions.size(), 1u);
  const Question& q = port.questions[0];
  EXPECT_EQ(q.text.toLocal8Bit(),
            "Unexpected error!\n\rD\n\rError logged to \n\r" + UpperErrorLog() + "\n\rResume?");
  EXPECT_EQ(q.title, "Unexpected error");
  EXPECT_EQ(q.buttons, Buttons::YesNo);
  EXPECT_EQ(q.defaultAnswer, Answer::Yes);
  EXPECT_EQ(q.icon, Icon::Critical);
  port.answers = {Answer::No};
  EXPECT_EQ(errors.HandleError(-5, "S", "D", "P", false), 1);
  EXPECT_TRUE(ReadFile(install.errorLog()).endsWith("Fehler in Documentation / S / P (Nr. -5) :D\r\n"));
  EXPECT_EQ(errors.ClosingStatus(), kExitError);
}

TEST_F(ErrorHandlingTest, FatalErrorsEndInteractivelyButNotInSilentMode) {
  EXPECT_EQ(errors.HandleError(9999, "S", "D", "P", true), 1);
  EXPECT_EQ(port.questions.back().title, "Fatal error");
  EXPECT_EQ(port.questions.back().buttons, Buttons::Ok);
  EXPECT_FALSE(port.questions.back().text.contains("Resume?"));

  const size_t asked = port.questions.size();
  EXPECT_EQ(Errors("EXTERNAL=SILENT").HandleError(9999, "S", "D", "P", true), 2);
  EXPECT_EQ(port.questions.size(), asked);
  EXPECT_EQ(ReadFile(install.serviceLog()),
            "! Fault Documentation_Config: Unexpected error!\n\rD\n\rError logged to \n\r" + UpperErrorLog() +
                "\r\n");
}

TEST_F(ErrorHandlingTest, IntegratedModeLogsToTheLogfileAndFallsBackWhenItIsEmpty) {
  // A Windows host names the log with backslashes; a "/" would start the next command-line option.
  const QString logfile = QDir::toNativeSeparators(install.root() + "/Host Logs/Cfg.log");
  WriteFile(logfile, "");
  EXPECT_EQ(Errors("EXTERNAL=QVZCFG /LOGFILE=" + logfile).WriteErrorLog("line").toLocal8Bit(),
            "Error logged to \n\r" + logfile.toUpper().toLocal8Bit());
  EXPECT_EQ(ReadFile(logfile), "line\r\n");
  Errors("EXTERNAL=QVZCFG /LOGFILE=").WriteErrorLog("fallback");
  EXPECT_EQ(ReadFile(install.errorLog()), "fallback\r\n");
}

TEST_F(ErrorHandlingTest, LogsThatCannotBeWrittenNeverStopTheProgram) {
  ProjectContext nowhere(ProgramLocation("/nonexistent/dir/program", "Documentation_Config"),
                         GetStartModeIntegrated("EXTERNAL=SILENT"), port);
  qputenv("HALVEK_SERVICE_LOG", "/nonexistent/dir/service.log");
  EXPECT_NO_THROW(nowhere.errors.WriteErrorLog("x"));
  EXPECT_NO_THROW(nowhere.errors.WriteServiceLog("x"));
  EXPECT_EQ(nowhere.errors.HandleError(1, "S", "D", "P", false), 2);
}

TEST_F(ErrorHandlingTest, TrapResumesWithTheNextStepOrEndsTheProgram) {
  int steps = 0;
  port.answers = {Answer::Yes, Answer::Yes};
  Trap trap(errors, "Proc");
  EXPECT_FALSE(trap.Run([&] { Raise(13, "Type mismatch"); }));
  EXPECT_TRUE(trap.Run([&] { ++steps; }));
  EXPECT_TRUE(trap.If([]() -> bool { throw AppError(9, "S", "Subscript out of range"); }));
  EXPECT_EQ(steps, 1);
  EXPECT_TRUE(ReadFile(install.errorLog()).contains("/ Documentation_Config / Proc (Nr. 13) :Type mismatch"));
  port.answers = {Answer::No};
  EXPECT_EQ(EndStatusOf([&] { trap.Run([] { Raise(6, "Overflow"); }); }), 1);
  // EndProgram passes through any trap untouched.
  EXPECT_EQ(EndStatusOf([&] { trap.Run([] { EndProgram(2); }); }), 2);
}

TEST_F(ErrorHandlingTest, ReportFaultShowsABoxOrWritesTheServiceLog) {
  errors.ReportFault("T");
  ASSERT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(port.questions[0].title, "Documentation_Config");
  EXPECT_EQ(port.questions[0].icon, Icon::Critical);
  Errors("EXTERNAL=SILENT").ReportFault("T2");
  EXPECT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(ReadFile(install.serviceLog()), "! Fault Documentation_Config: T2\r\n");
}

TEST_F(ErrorHandlingTest, CancelQuestionTextsAndWhatEachAnswerLogs) {
  const QByteArray standalone = "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ";
  port.answers = {Answer::No};
  EXPECT_FALSE(errors.ConfirmCancel());
  EXPECT_EQ(port.questions[0].text.toLocal8Bit(), standalone);
  EXPECT_EQ(port.questions[0].title, "Cancel?");
  EXPECT_EQ(port.questions[0].defaultAnswer, Answer::No);
  EXPECT_EQ(port.questions[0].icon, Icon::Exclamation);
  EXPECT_FALSE(QFile::exists(install.errorLog()));

  port.answers = {Answer::Yes};
  const QString hostLog = QDir::toNativeSeparators(install.root() + "/host.log");
  EXPECT_TRUE(Errors("EXTERNAL=QVZCFG /LOGFILE=" + hostLog).ConfirmCancel());
  EXPECT_EQ(port.questions[1].text.toLocal8Bit(),
            standalone +
                "\n\r\"Documentation\" has to be configured again in \"standalone-mode\" via \n\r\"" +
                (install.program() + NativePath("/") + platform::ExecutableFileName("Documentation_Config"))
                    .toLocal8Bit() +
                "\"");
  EXPECT_EQ(ReadFile(hostLog), "Konfigurations-EXE wurde abgebrochen:     Documentation\r\n");

  EXPECT_TRUE(Errors("EXTERNAL=SILENT").ConfirmCancel());
  EXPECT_EQ(port.questions.size(), 2u);
  EXPECT_EQ(ReadFile(install.serviceLog()), "! Fault Documentation_Config: " + standalone + "\r\n");
}

}  // namespace
