#include "framework/ErrorHandling.h"

#include "framework/CommandLine.h"
#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/ProgramLocation.h"
#include "framework/RuntimeState.h"
#include "framework/Text.h"
#include "framework/TextFile.h"
#include "framework/UserPort.h"

#include <QChar>

namespace {

bool errorHandled = false;

const QString kQuote = QStringLiteral("\"");

}  // namespace

namespace runtime_state {
void ResetErrorHandling() {
  errorHandled = false;
}
}  // namespace runtime_state

QString ErrorLogPath() {
  if (IntegratedMode) {
    const QString logfile = GetPathLogfile();
    // An empty LOGFILE would lose the line: fall back to the base folder's error log.
    if (!logfile.isEmpty()) return logfile;
  }
  return BaseFolder() + Sep() + QStringLiteral("QVZcfglog.txt");
}

QString ServiceLogPath() {
  const QByteArray configured = qgetenv("HALVEK_SERVICE_LOG");
  if (!configured.isEmpty()) return QString::fromLocal8Bit(configured);
#ifdef Q_OS_WIN
  return QStringLiteral("C:\\HalvekServicePack.log");
#else
  return QStringLiteral("/var/log/HalvekServicePack.log");
#endif
}

QString WriteErrorLog(const QString& line) {
  const QString path = ErrorLogPath();
  AppendLogLine(path, line);
  return QStringLiteral("Error logged to ") + kLineBreak + UCase(path);
}

void WriteServiceLog(const QString& text) {
  AppendLogLine(ServiceLogPath(),
                QStringLiteral("! Fault ") + ExecutableName() + QStringLiteral(": ") + text);
}

void ReportFault(const QString& text) {
  if (SilentMode) {
    WriteServiceLog(text);
    return;
  }
  ShowMessage(text, ExecutableName(), Icon::Critical);
}

int HandleError(int32_t number, const QString& source, const QString& description, const QString& procedure,
                bool fatal) {
  errorHandled = true;
  const QString line = QStringLiteral("Fehler in ") + GetOCXName() + QStringLiteral(" / ") + source +
                       QStringLiteral(" / ") + procedure + QStringLiteral(" (Nr. ") +
                       QString::number(number) + QStringLiteral(") :") + description;
  const QString confirmation = WriteErrorLog(line);
  const QString message =
      QStringLiteral("Unexpected error!") + kLineBreak + description + kLineBreak + confirmation;
  if (SilentMode) {
    WriteServiceLog(message);
    return 2;
  }
  if (!fatal) {
    const Answer answer =
        Port().Ask(Question{message + kLineBreak + QStringLiteral("Resume?"),
                            QStringLiteral("Unexpected error"), Buttons::YesNo, Answer::Yes, Icon::Critical});
    return answer == Answer::No ? 1 : 2;
  }
  Port().Ask(Question{message, QStringLiteral("Fatal error"), Buttons::Ok, Answer::Ok, Icon::Critical});
  return 1;
}

void EndProgram(int status) {
  throw ProgramEnd{status};
}

int ClosingStatus() {
  return errorHandled ? kExitError : kExitOk;
}

bool AnyErrorHandled() {
  return errorHandled;
}

bool ConfirmCancel() {
  QString text = QStringLiteral("Cancel edits?") + kLineBreak + QStringLiteral("Remark:") + kLineBreak +
                 QStringLiteral("Until now no changes have been taken over ");
  if (IntegratedMode) {
    text += kLineBreak + kQuote + GetOCXName() + kQuote + QStringLiteral(" has to be configured again in ") +
            kQuote + QStringLiteral("standalone-mode") + kQuote + QStringLiteral(" via ") + kLineBreak +
            kQuote + ProgramFolder() + Sep() + ExecutableFileName() + kQuote;
  }
  if (SilentMode) {
    WriteServiceLog(text);
    return true;
  }
  const Answer answer =
      Port().Ask(Question{text, QStringLiteral("Cancel?"), Buttons::YesNo, Answer::No, Icon::Exclamation});
  if (answer != Answer::Yes) return false;
  WriteErrorLog(QStringLiteral("Konfigurations-EXE wurde abgebrochen:     ") + GetOCXName());
  return true;
}
