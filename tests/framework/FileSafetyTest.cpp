// Files are never destroyed and a failed write is never a success: replacement through links, full
// disks, FIFOs and devices in a file's place, owners and modes, log lines that cannot be written, and
// the per-project run lock. All on real files in temporary folders.
#include "framework/Profile.h"
#include "framework/RunLock.h"
#include "framework/SafeFile.h"
#include "framework/TextFile.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include "tests/support/FileSizeLimit.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

QStringList AllEntries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                QDir::Name);
}

class FileSafetyTest : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return dir.path() + u'/' + QString::fromLatin1(name); }
  QTemporaryDir dir;
};

TEST_F(FileSafetyTest, AFullDiskLeavesEveryFileAsItWasAndSaysWhy) {
#ifdef _WIN32
  GTEST_SKIP() << "needs a file size limit (RLIMIT_FSIZE) to stand in for a full disk";
#else
  const QString ini = Path("settings.ini");
  QByteArray old = "[S]\r\nk=old\r\n";
  for (int i = 0; i < 500; ++i) old += "e" + QByteArray::number(i) + "=some value\r\n";
  WriteFile(ini, old);
  const QString data = Path("data.bin");
  WriteFile(data, QByteArray(64 << 10, 'd'));
  const QString log = Path("log.txt");
  WriteFile(log, QByteArray(9000, 'l'));

  FileResult iniWrite, replace, logLine;
  {
    const FileSizeLimit limit(8192);
    iniWrite = profile::WriteStrings({{"S", "k", QStringLiteral("new")}}, ini);
    replace = ReplaceFileContents(data, QByteArray(16 << 10, 'n'));
    testing::internal::CaptureStderr();
    logLine = AppendLogLine(log, QStringLiteral("the line"));
  }
  const std::string stderrText = testing::internal::GetCapturedStderr();

  EXPECT_FALSE(iniWrite);
  EXPECT_TRUE(iniWrite.reason.contains(ini)) << iniWrite.reason.toStdString();
  EXPECT_TRUE(iniWrite.reason.contains(qt_error_string(EFBIG))) << iniWrite.reason.toStdString();
  EXPECT_EQ(ReadFile(ini), old);
  EXPECT_FALSE(replace);
  EXPECT_EQ(ReadFile(data), QByteArray(64 << 10, 'd'));
  // A log line that cannot be written goes to standard error with the reason.
  EXPECT_FALSE(logLine);
  EXPECT_NE(stderrText.find("the line"), std::string::npos) << stderrText;
  EXPECT_NE(stderrText.find(qt_error_string(EFBIG).toStdString()), std::string::npos) << stderrText;
  EXPECT_EQ(AllEntries(dir.path()), QStringList({"data.bin", "log.txt", "settings.ini"}));
#endif
}

TEST_F(FileSafetyTest, ALinkHasItsRegularTargetReplacedAndAnythingElseIsRefused) {
#ifdef _WIN32
  GTEST_SKIP() << "needs symbolic links, a FIFO and /dev/null";
#else
  const QString real = Path("real.cfg");
  WriteFile(real, "old");
  const QString link = Path("link.cfg");
  ASSERT_TRUE(QFile::link(real, link));
  ASSERT_TRUE(ReplaceFileContents(link, "new"));
  EXPECT_EQ(ReadFile(real), "new");
  EXPECT_EQ(QFileInfo(link).symLinkTarget(), real);

  // A link to a device, a FIFO, a folder or nowhere, and a FIFO or folder in the file's place.
  QDir().mkpath(Path("folder"));
  ASSERT_EQ(mkfifo(QFile::encodeName(Path("fifo")).constData(), 0600), 0);
  struct stat null {};
  ASSERT_EQ(stat("/dev/null", &null), 0);
  const struct {
    const char* name;
    QString target;
  } refused[] = {{"to-null", "/dev/null"},
                 {"to-fifo", Path("fifo")},
                 {"to-folder", Path("folder")},
                 {"dangling", Path("none")}};
  for (const auto& [name, target] : refused) {
    ASSERT_TRUE(QFile::link(target, Path(name)));
    const FileResult result = ReplaceFileContents(Path(name), "x");
    EXPECT_FALSE(result) << name;
    EXPECT_TRUE(result.reason.contains(Path(name))) << result.reason.toStdString();
    EXPECT_TRUE(QFileInfo(Path(name)).isSymLink()) << name;
  }
  for (const char* name : {"fifo", "folder"}) EXPECT_FALSE(ReplaceFileContents(Path(name), "x")) << name;
  EXPECT_FALSE(QFile::exists(Path("none")));
  struct stat after {};
  ASSERT_EQ(stat("/dev/null", &after), 0);
  EXPECT_TRUE(S_ISCHR(after.st_mode));
  EXPECT_EQ(after.st_rdev, null.st_rdev);
  EXPECT_EQ(AllEntries(dir.path()), QStringList({"dangling", "fifo", "folder", "link.cfg", "real.cfg",
                                                 "to-fifo", "to-folder", "to-null"}));
#endif
}

// A settings file with a second name is written into, so that both names see the new content; a full
// disk fails before any of its old bytes changes.
TEST_F(FileSafetyTest, AHardLinkedSettingsFileIsRewrittenInPlaceForEveryName) {
  const QString cfg = Path("Documentation.cfg");
  const QString other = Path("copy.cfg");
  WriteFile(cfg, "[Project]\r\nA=1\r\nB=22222\r\n");
  namespace fs = std::filesystem;
  const fs::path cfgPath = cfg.toStdU16String();
  const fs::path otherPath = other.toStdU16String();
  fs::create_hard_link(cfgPath, otherPath);
  ASSERT_TRUE(profile::WriteStrings({{"Project", "B", QStringLiteral("2")}}, cfg));
  ASSERT_TRUE(profile::WriteStrings({{"Info", "S_Prog", QStringLiteral("1.0.1")}}, other));
  const QByteArray expected = "[Project]\r\nA=1\r\nB=2\r\n[Info]\r\nS_Prog=1.0.1\r\n";
  EXPECT_EQ(ReadFile(cfg), expected);
  EXPECT_EQ(ReadFile(other), expected);
#ifndef _WIN32  // the Windows C runtime counts no links and has no file numbers to compare
  EXPECT_EQ(fs::hard_link_count(cfgPath), 2u);
  EXPECT_TRUE(fs::equivalent(cfgPath, otherPath));  // still one file: written in place
#endif
#ifndef _WIN32
  // A full disk (a file size limit stands in for it) fails before any old byte changes.
  FileResult full;
  {
    const FileSizeLimit limit(expected.size() + 10);
    full = profile::WriteStrings({{"Info", "S_Prog", QString(100, u'x')}}, cfg);
  }
  EXPECT_FALSE(full);
  EXPECT_TRUE(full.reason.contains(cfg)) << full.reason.toStdString();
  EXPECT_EQ(ReadFile(other), expected);
#endif
  EXPECT_EQ(AllEntries(dir.path()), QStringList({"Documentation.cfg", "copy.cfg"}));
}

// As root, a link that an ordinary user made to a file of someone else's is neither rewritten nor
// appended to; links of root's and of the target's owner are followed.
TEST_F(FileSafetyTest, AsRootAForeignLinkIsNotFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "needs POSIX owners of links";
#else
  if (geteuid() != 0) GTEST_SKIP() << "needs root";
  constexpr uid_t kUser = 65534;
  const auto lchownTo = [](const QString& path, uid_t uid) {
    return lchown(QFile::encodeName(path).constData(), uid, uid) == 0;
  };
  const QString rootFile = Path("shadow");
  WriteFile(rootFile, "[S]\r\nk=root\r\n");
  const QString ini = Path("settings.ini");
  const QString log = Path("QVZcfglog.txt");
  const QString chained = Path("chained.ini");
  ASSERT_TRUE(QFile::link(rootFile, ini));
  ASSERT_TRUE(QFile::link(rootFile, log));
  ASSERT_TRUE(QFile::link(ini, chained));  // root's link to the user's link
  ASSERT_TRUE(lchownTo(ini, kUser) && lchownTo(log, kUser));
  for (const QString& path : {ini, chained}) {
    const FileResult written = profile::WriteStrings({{"S", "k", QStringLiteral("user")}}, path);
    EXPECT_FALSE(written);
    EXPECT_TRUE(written.reason.contains(path + QStringLiteral(": is a link of user 65534")))
        << written.reason.toStdString();
  }
  testing::internal::CaptureStderr();
  EXPECT_FALSE(AppendLogLine(log, QStringLiteral("line")));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadFile(rootFile), "[S]\r\nk=root\r\n");
  EXPECT_TRUE(QFileInfo(ini).isSymLink());

  // The user's link to the user's own file is followed, and so is root's link.
  ASSERT_EQ(chown(QFile::encodeName(rootFile).constData(), kUser, kUser), 0);
  EXPECT_TRUE(profile::WriteStrings({{"S", "k", QStringLiteral("user")}}, ini));
  EXPECT_TRUE(AppendLogLine(log, QStringLiteral("line")));
  EXPECT_TRUE(profile::WriteStrings({{"S", "n", QStringLiteral("1")}}, chained));
  EXPECT_EQ(ReadFile(rootFile), "[S]\r\nk=user\r\nline\r\nn=1\r\n");
#endif
}

TEST_F(FileSafetyTest, AReplacedFileKeepsItsModeAndOwnerAndANewOneGetsTheUsualMode) {
#ifdef _WIN32
  GTEST_SKIP() << "needs POSIX permissions and owners";
#else
  const QString file = Path("owned.ini");
  WriteFile(file, "old");
  ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0640), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(QFile::encodeName(file).constData(), 4321, 8765), 0);
  }
  ASSERT_TRUE(ReplaceFileContents(file, "new"));
  struct stat st {};
  ASSERT_EQ(stat(QFile::encodeName(file).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
  } else {
    std::printf("not root: the owner of another account is not checked\n");
  }

  const mode_t mask = umask(022);
  umask(mask);
  const QString fresh = Path("fresh.ini");
  ASSERT_TRUE(ReplaceFileContents(fresh, "x"));
  ASSERT_EQ(stat(QFile::encodeName(fresh).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask);
  const QString chosen = Path("chosen.ini");
  FileReplacement withMode(chosen, 0604);
  ASSERT_TRUE(withMode.Commit());
  ASSERT_EQ(stat(QFile::encodeName(chosen).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
#endif
}

TEST_F(FileSafetyTest, AnAbandonedOrFailedReplacementLeavesNoTrace) {
  const QString file = Path("a.ini");
  WriteFile(file, "old");
  {
    FileReplacement replacement(file);
    ASSERT_TRUE(replacement.Write("half"));
  }
  EXPECT_EQ(ReadFile(file), "old");
  EXPECT_EQ(AllEntries(dir.path()), QStringList{"a.ini"});
  const FileResult missingFolder = ReplaceFileContents(Path("no/such/folder/x.ini"), "x");
  EXPECT_FALSE(missingFolder);
  EXPECT_TRUE(missingFolder.reason.contains(Path("no/such/folder"))) << missingFolder.reason.toStdString();
  EXPECT_FALSE(ReplaceFileContents(QString(), "x"));
}

TEST_F(FileSafetyTest, NothingButARegularFileIsReadOrAppendedToAndNothingBlocks) {
  QString failure;
#ifndef _WIN32
  const QString fifo = Path("fifo");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  // A FIFO nobody writes to would block a plain open or read for ever.
  EXPECT_FALSE(ReadTextFile(fifo, &failure));
  EXPECT_TRUE(failure.contains("FIFO")) << failure.toStdString();
  QString out;
  profile::GetString("S", "k", QStringLiteral("default"), out, 255, fifo);
  EXPECT_EQ(out, "default");
  const FileResult write = profile::WriteString("S", "k", QStringLiteral("v"), fifo);
  EXPECT_FALSE(write);
  EXPECT_TRUE(write.reason.contains("FIFO")) << write.reason.toStdString();
  failure.clear();
#endif

  EXPECT_FALSE(ReadTextFile(Path("missing.ini"), &failure));
  EXPECT_TRUE(failure.isEmpty());
  EXPECT_EQ(RegularFileReader(dir.path()).status(), RegularFileReader::Status::Failed);

  // Log lines: a FIFO and a device that refuses every byte are no log files; the line goes to
  // standard error with the reason, and the caller learns that it was not logged.
#ifdef _WIN32
  const QStringList notLogs = {dir.path()};  // Windows has no FIFO or full device at a path
#else
  const QStringList notLogs = {fifo, QStringLiteral("/dev/full"), dir.path()};
#endif
  for (const QString& log : notLogs) {
    testing::internal::CaptureStderr();
    const FileResult logged = AppendLogLine(log, QStringLiteral("Fehler \u00e4"));
    const QString text = QString::fromLocal8Bit(testing::internal::GetCapturedStderr());
    EXPECT_FALSE(logged) << log.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Fehler \u00e4"))) << text.toStdString();
    EXPECT_TRUE(text.contains(logged.reason)) << text.toStdString();
  }
  const QString log = Path("log.txt");
  EXPECT_TRUE(AppendLogLine(log, QStringLiteral("eins \u00e4")));
  EXPECT_TRUE(AppendLogLine(log, QStringLiteral("zwei")));
  EXPECT_EQ(ReadFile(log), "eins \xE4\r\nzwei\r\n");
}

TEST_F(FileSafetyTest, TextInPiecesGivesTheSameBytesAsTheWholeText) {
  // A character outside the basic plane is one "?", also when its halves arrive in two pieces.
  const QString file = Path("pieces.txt");
  TextFileWriter writer(file, TextEncoding::Cp1252);
  writer.Append(u"a\U0001F600b\xD83D");
  writer.Append(
      u"\xDE00"
      "c\xD83D");
  writer.Append(u"d\xDE00");
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(ReadFile(file), "a?b?c?d?");

  // Files larger than one read or write chunk, in both encodings, with an odd last UTF-16 byte.
  QString big;
  for (int i = 0; i < 150000; ++i) big += QStringLiteral("Zeile %1 \u00e4\u20ac\U0001F600\r\n").arg(i);
  for (const TextEncoding encoding : {TextEncoding::Cp1252, TextEncoding::Utf16Le}) {
    ASSERT_TRUE(WriteTextFileAtomically(file, {big, encoding}));
    const QByteArray bytes = ReadFile(file);
    if (encoding == TextEncoding::Cp1252) {
      ASSERT_EQ(bytes.size(), big.size() - 150000);
      EXPECT_TRUE(bytes.endsWith("Zeile 149999 \xE4\x80?\r\n"));
      EXPECT_EQ(ReadTextFile(file)->text,
                QString(big).replace(QStringLiteral("\U0001F600"), QStringLiteral("?")));
    } else {
      EXPECT_EQ(bytes.size(), 2 + 2 * big.size());
      WriteFile(file, bytes + "\x41");
      const auto read = ReadTextFile(file);
      ASSERT_TRUE(read);
      EXPECT_EQ(read->encoding, TextEncoding::Utf16Le);
      EXPECT_EQ(read->text, big);
    }
  }
}

// The run lock: one holder at a time, a bounded wait, and a lock that goes with its holder.
TEST_F(FileSafetyTest, TheRunLockLetsOneRunAtATime) {
  {
    const RunLock first(dir.path(), std::chrono::milliseconds(0));
    ASSERT_TRUE(first.held()) << first.reason().toStdString();
    QElapsedTimer waited;
    waited.start();
    const RunLock second(dir.path(), std::chrono::milliseconds(100));
    EXPECT_EQ(second.result(), RunLock::Result::TimedOut);
    EXPECT_GE(waited.elapsed(), 100);
    EXPECT_FALSE(second.reason().isEmpty());
  }
  EXPECT_TRUE(RunLock(dir.path(), std::chrono::milliseconds(0)).held());
  EXPECT_TRUE(QFileInfo(dir.path() + u'/' + RunLock::FileName()).isFile());

  const RunLock nowhere(Path("no/such/folder"), std::chrono::milliseconds(0));
  EXPECT_EQ(nowhere.result(), RunLock::Result::Failed);
  EXPECT_TRUE(nowhere.reason().contains(Path("no/such/folder"))) << nowhere.reason().toStdString();
}

TEST_F(FileSafetyTest, TheRunLockDiesWithItsHolder) {
#ifdef _WIN32
  GTEST_SKIP() << "needs fork and SIGKILL, and POSIX users";
#else
  // A run killed while it holds the lock does not block the next one.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const RunLock held(dir.path(), std::chrono::milliseconds(0));
    const char byte = held.held() ? 'y' : 'n';
    if (write(ready[1], &byte, 1) != 1) _exit(1);
    for (;;) pause();
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  EXPECT_EQ(byte, 'y');
  EXPECT_EQ(RunLock(dir.path(), std::chrono::milliseconds(0)).result(), RunLock::Result::TimedOut);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_TRUE(RunLock(dir.path(), std::chrono::milliseconds(2000)).held());

  // Another user's run of the same project finds a lock file it may only read: it locks all the same.
  if (geteuid() == 0) {
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName((dir.path() + u'/' + RunLock::FileName())).constData(), 0644), 0);
    const pid_t user = fork();
    ASSERT_GE(user, 0);
    if (user == 0)
      _exit(setuid(65534) == 0 && RunLock(dir.path(), std::chrono::milliseconds(0)).held() ? 0 : 1);
    int status = -1;
    waitpid(user, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
#endif
}

}  // namespace
