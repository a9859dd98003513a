#include "framework/ErrorHandling.h"

#include "framework/FileLookup.h"
#include "framework/Platform.h"
#include "framework/Text.h"
#include "framework/TextFile.h"

#include <cstdio>

namespace {

const QString kQuote = QStringLiteral("\"");

}  // namespace

QString ErrorHandling::ErrorLogPath() const {
  // An empty LOGFILE would lose the line: fall back to the base folder's error log.
  if (mode_.integrated && !mode_.logfile.isEmpty()) return mode_.logfile;
  return location_.BaseFolder() + Sep() + QStringLiteral("QVZcfglog.txt");
}

QString ServiceLogPath() {
  const QByteArray configured = qgetenv("HALVEK_SERVICE_LOG");
  if (!configured.isEmpty()) return QString::fromLocal8Bit(configured);
  return platform::DefaultServiceLogPath();
}

QString ErrorHandling::WriteErrorLog(const QString& line) {
  lastErrorLine_ = line;
  // A dry run changes no log: the line is shown instead.
  if (mode_.dryRun) {
    PrintLine(stderr, line);
    return QStringLiteral("Error shown on standard error (dry run)");
  }
  const QString path = ErrorLogPath();
  // A line that did not reach the log went to standard error; the confirmation must not claim otherwise.
  if (!AppendLogLine(path, line).ok)
    return QStringLiteral("Error could not be logged to ") + kLineBreak + UCase(path);
  return QStringLiteral("Error logged to ") + kLineBreak + UCase(path);
}

void ErrorHandling::WriteServiceLog(const QString& text) {
  const QString line = QStringLiteral("! Fault ") + location_.ExecutableName() + QStringLiteral(": ") + text;
  if (mode_.dryRun) {
    PrintLine(stderr, line);
    return;
  }
  AppendLogLine(ServiceLogPath(), line);
}

void ErrorHandling::ReportFault(const QString& text) {
  if (mode_.silent) {
    WriteServiceLog(text);
    return;
  }
  port_.ShowMessage(text, location_.ExecutableName(), Icon::Critical);
}

int ErrorHandling::HandleError(int32_t number, const QString& source, const QString& description,
                               const QString& procedure, bool fatal) {
  errorHandled_ = true;
  ++handledErrors_;
  const QString named = source.isEmpty() ? location_.ExecutableName() : source;
  const QString line = QStringLiteral("Fehler in ") + location_.GetOCXName() + QStringLiteral(" / ") + named +
                       QStringLiteral(" / ") + procedure + QStringLiteral(" (Nr. ") +
                       QString::number(number) + QStringLiteral(") :") + description;
  const QString confirmation = WriteErrorLog(line);
  const QString message =
      QStringLiteral("Unexpected error!") + kLineBreak + description + kLineBreak + confirmation;
  if (mode_.silent) {
    WriteServiceLog(message);
    return 2;
  }
  if (!fatal) {
    // Both answers matter: closing the box must not end the program.
    Question resume{message + kLineBreak + QStringLiteral("Resume?"), QStringLiteral("Unexpected error"),
                    Buttons::YesNo, Answer::Yes, Icon::Critical};
    resume.escapable = false;
    const Answer answer = port_.Ask(resume);
    return answer == Answer::No ? 1 : 2;
  }
  port_.Ask(Question{message, QStringLiteral("Fatal error"), Buttons::Ok, Answer::Ok, Icon::Critical});
  return 1;
}

bool ErrorHandling::ConfirmCancel() {
  QString text = QStringLiteral("Cancel edits?") + kLineBreak + QStringLiteral("Remark:") + kLineBreak +
                 QStringLiteral("Until now no changes have been taken over ");
  if (mode_.integrated) {
    text += kLineBreak + kQuote + location_.GetOCXName() + kQuote +
            QStringLiteral(" has to be configured again in ") + kQuote + QStringLiteral("standalone-mode") +
            kQuote + QStringLiteral(" via ") + kLineBreak + kQuote + location_.ProgramFolder() + Sep() +
            location_.ExecutableFileName() + kQuote;
  }
  if (mode_.silent) {
    WriteServiceLog(text);
    return true;
  }
  const Answer answer =
      port_.Ask(Question{text, QStringLiteral("Cancel?"), Buttons::YesNo, Answer::No, Icon::Exclamation});
  if (answer != Answer::Yes) return false;
  WriteErrorLog(QStringLiteral("Konfigurations-EXE wurde abgebrochen:     ") + location_.GetOCXName());
  return true;
}
