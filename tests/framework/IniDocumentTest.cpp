// The INI layer against the behaviour of the Windows private-profile functions, byte for byte.
#include "framework/IniDocument.h"
#include "framework/Profile.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <cstdio>

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  QString Read(const QString& section, const QString& entry, int size = 255) {
    QString out;
    profile::GetString(section, entry, QString(255, u' '), out, size, file);
    return out;
  }
  QTemporaryDir dir;
  QString file = dir.path() + QStringLiteral("/test.ini");
};

TEST_F(ProfileTest, LookupIgnoresCaseBlanksCommentsAndLaterDuplicates) {
  WriteFile(file,
            "; [Main]\r\n"
            "  [ main ]  \n"
            "  Key One \t=  \t value one \t \r"
            "#hash=kept\r\n"
            ";key=comment\r\n"
            "key one=second\r\n"
            "quoted=\"  inner  \"\r\n"
            "single='x'\r\n"
            "unbalanced=\"x'\r\n"
            "[MAIN]\r\n"
            "late=ignored\r\n"
            "[s]x]\r\n"
            "a=b\r\n");
  EXPECT_EQ(Read("MAIN", "KEY ONE"), "value one");
  EXPECT_EQ(Read("Main", "#hash"), "kept");
  EXPECT_EQ(Read("Main", ";key"), "");
  EXPECT_EQ(Read("Main", "quoted"), "  inner  ");
  EXPECT_EQ(Read("Main", "single"), "x");
  EXPECT_EQ(Read("Main", "unbalanced"), "\"x'");
  EXPECT_EQ(Read("Main", "late"), "");
  EXPECT_EQ(Read("s", "a"), "b");
  EXPECT_EQ(Read("missing", "a"), "");
}

// An entry name and a value end at a NUL, as the Windows functions return them; the rest of such a line
// stays in the file until that entry itself is written.
TEST_F(ProfileTest, NameAndValueEndAtANulAndTheRestOfTheLineIsKept) {
  static const char kLines[] =
      "[S]\r\n"
      "Reference1=\"C:\\a.pdf\"\0junk\r\n"
      "NetAddress1=\\\\srv\\docs\\x\0.pdf\r\n"
      "Na\0me = v\r\n"
      "keep=1\r\n";
  static const char kReference[] = "Reference1=\"C:\\a.pdf\"\0junk";
  const QByteArray lines(kLines, sizeof kLines - 1);
  WriteFile(file, lines);
  EXPECT_EQ(Read("S", "Reference1"), "C:\\a.pdf");
  EXPECT_EQ(Read("S", "NetAddress1"), "\\\\srv\\docs\\x");
  EXPECT_EQ(Read("S", "Na"), "v");
  EXPECT_EQ(Read("S", "Name"), "");
  ASSERT_TRUE(profile::WriteString("S", "keep", QStringLiteral("2"), file));
  EXPECT_EQ(ReadFile(file), QByteArray(lines).replace("keep=1", "keep=2"));
  ASSERT_TRUE(profile::WriteString("S", "reference1", QStringLiteral("D:\\b.pdf"), file));
  EXPECT_EQ(ReadFile(file),
            QByteArray(lines)
                .replace("keep=1", "keep=2")
                .replace(QByteArray(kReference, sizeof kReference - 1), "Reference1=D:\\b.pdf"));
}

TEST_F(ProfileTest, ReadCutsAtBufferAndMissingFileGivesDefaultWithoutTrailingBlanks) {
  WriteFile(file, "[S]\r\nlong=" + QByteArray(300, 'a') + "\r\n");
  EXPECT_EQ(Read("S", "long").size(), 254);
  QString out;
  EXPECT_EQ(profile::GetString("S", "x", QStringLiteral("dflt   "), out, 255, dir.path() + "/none.ini"), 4);
  EXPECT_EQ(out, "dflt");
}

TEST_F(ProfileTest, IntegersFollowTheWindowsConversion) {
  WriteFile(file, "[S]\r\nn=42\r\nneg=-7\r\nhex=0x1F\r\ntail=12abc\r\ntext=abc\r\nempty=\r\nbig=40000\r\n");
  EXPECT_EQ(profile::GetInt("S", "n", -1, file), 42u);
  EXPECT_EQ(static_cast<int32_t>(profile::GetInt("S", "neg", -1, file)), -7);
  EXPECT_EQ(profile::GetInt("S", "hex", -1, file), 31u);
  EXPECT_EQ(profile::GetInt("S", "tail", -1, file), 12u);
  EXPECT_EQ(profile::GetInt("S", "text", -1, file), 0u);
  EXPECT_EQ(static_cast<int32_t>(profile::GetInt("S", "empty", -1, file)), -1);
  EXPECT_EQ(static_cast<int32_t>(profile::GetInt("S", "missing", -1, file)), -1);
  EXPECT_EQ(profile::GetInt("S", "big", -1, file), 40000u);
}

TEST_F(ProfileTest, NewFileAndNewSectionsAndEntriesLandWhereWindowsPutsThem) {
  ASSERT_TRUE(profile::WriteString("Sec", "a", QStringLiteral("1"), file));
  EXPECT_EQ(ReadFile(file), "[Sec]\r\na=1\r\n");
  ASSERT_TRUE(profile::WriteString("Other", "x", QStringLiteral(""), file));
  EXPECT_EQ(ReadFile(file), "[Sec]\r\na=1\r\n[Other]\r\nx=\r\n");

  WriteFile(file, "[Sec]\r\nA = old\r\n\r\n; note\r\n[Next]\r\nz=1\r\n");
  ASSERT_TRUE(profile::WriteString("SEC", "b", QStringLiteral("2"), file));
  ASSERT_TRUE(profile::WriteString("sec", "a", QStringLiteral("new"), file));
  EXPECT_EQ(ReadFile(file), "[Sec]\r\nA=new\r\nb=2\r\n\r\n; note\r\n[Next]\r\nz=1\r\n");

  WriteFile(file, "[Empty]\r\n\r\n[Next]\r\n");
  ASSERT_TRUE(profile::WriteString("Empty", "k", QStringLiteral("v"), file));
  EXPECT_EQ(ReadFile(file), "[Empty]\r\nk=v\r\n\r\n[Next]\r\n");
}

TEST_F(ProfileTest, NoValueRemovesTheEntryAndLineBreaksBecomeBlanks) {
  WriteFile(file, "[S]\nkeep=1\nGone=2\n");
  ASSERT_TRUE(profile::WriteString("s", "gone", std::nullopt, file));
  EXPECT_EQ(ReadFile(file), "[S]\r\nkeep=1\r\n");
  ASSERT_TRUE(profile::WriteString("S", "multi", QStringLiteral("a\r\nb\nc"), file));
  EXPECT_EQ(Read("S", "multi"), "a b c");
  const QString missing = dir.path() + "/missing.ini";
  EXPECT_TRUE(profile::WriteString("S", "x", std::nullopt, missing));
  EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(ProfileTest, TextIsWindows1252OnDiskAndFilesWithAByteOrderMarkKeepTheirEncoding) {
  ASSERT_TRUE(profile::WriteString("S", "k", QStringLiteral("Größe € \u4e2d"), file));
  EXPECT_EQ(ReadFile(file), QByteArray("[S]\r\nk=Gr\xF6\xDF"
                                       "e \x80 ?\r\n"));
  EXPECT_EQ(Read("S", "k"), QStringLiteral("Größe € ?"));

  const QByteArray utf16("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE4\0\r\0\n\0", 22);
  WriteFile(file, utf16);
  EXPECT_EQ(Read("S", "k"), QStringLiteral("ä"));
  ASSERT_TRUE(profile::WriteString("S", "k", QStringLiteral("\u4e2d"), file));
  EXPECT_EQ(ReadFile(file), QByteArray("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\x2d\x4e\r\0\n\0", 22));

  // The other marks: UTF-16BE and UTF-8 files are read and rewritten in their own encoding.
  const auto utf16Be = [](const QString& text) {
    QByteArray bytes("\xFE\xFF");
    for (const QChar c : text)
      bytes.append(static_cast<char>(c.unicode() >> 8)).append(static_cast<char>(c.unicode()));
    return bytes;
  };
  WriteFile(file, utf16Be(QStringLiteral("[S]\r\nk=ä\r\n")));
  EXPECT_EQ(Read("S", "k"), QStringLiteral("ä"));
  ASSERT_TRUE(profile::WriteString("P", "n", QStringLiteral("\u4e2d"), file));
  EXPECT_EQ(ReadFile(file), utf16Be(QStringLiteral("[S]\r\nk=ä\r\n[P]\r\nn=\u4e2d\r\n")));
  WriteFile(file, "\xEF\xBB\xBF[S]\r\nk=\xC3\xA4\r\n");
  EXPECT_EQ(Read("S", "k"), QStringLiteral("ä"));
  ASSERT_TRUE(profile::WriteString("S", "n", QStringLiteral("\u4e2d"), file));
  EXPECT_EQ(ReadFile(file), "\xEF\xBB\xBF[S]\r\nk=\xC3\xA4\r\nn=\xE4\xB8\xAD\r\n");
  // A UTF-8 mark before bytes that are not UTF-8: refused, and the file stays as it was.
  const QByteArray notUtf8("\xEF\xBB\xBF[S]\r\nk=\xE4\r\n");
  WriteFile(file, notUtf8);
  const FileResult refused = profile::WriteStrings({{"S", "n", QStringLiteral("1")}}, file);
  EXPECT_FALSE(refused);
  EXPECT_TRUE(refused.reason.contains(file + QStringLiteral(": starts with a UTF-8 byte-order mark")))
      << refused.reason.toStdString();
  EXPECT_EQ(ReadFile(file), notUtf8);
}

TEST_F(ProfileTest, FailedWriteReportsFalseAndLeavesNoTemporaryFiles) {
  EXPECT_FALSE(profile::WriteString("S", "k", QStringLiteral("v"), dir.path() + "/no/such/folder/x.ini"));
  EXPECT_FALSE(profile::WriteString("S", "k", QStringLiteral("v"), QString()));
  ASSERT_TRUE(profile::WriteString("S", "k", QStringLiteral("v"), file));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"test.ini"});
}

TEST_F(ProfileTest, WritesGoThroughALinkToItsFileAndNeverReplaceADeviceOrFifo) {
#ifdef _WIN32
  GTEST_SKIP() << "needs symbolic links and /dev/null";
#else
  WriteFile(file, "[S]\r\nk=1\r\n");
  const QString link = dir.path() + QStringLiteral("/link.ini");
  ASSERT_TRUE(QFile::link(file, link));
  ASSERT_TRUE(profile::WriteString("S", "k", QStringLiteral("2"), link));
  EXPECT_EQ(ReadFile(file), "[S]\r\nk=2\r\n");
  EXPECT_TRUE(QFileInfo(link).isSymLink());

  const QString toNull = dir.path() + QStringLiteral("/null.ini");
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), toNull));
  const FileResult result = profile::WriteStrings({{"S", "k", QStringLiteral("v")}}, toNull);
  EXPECT_FALSE(result);
  EXPECT_TRUE(result.reason.contains(toNull)) << result.reason.toStdString();
  EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile());
  EXPECT_TRUE(QFileInfo(toNull).isSymLink());
  // Removing an entry from a missing file (a link that leads nowhere included) changes nothing.
  const QString dangling = dir.path() + QStringLiteral("/dangling.ini");
  ASSERT_TRUE(QFile::link(dir.path() + QStringLiteral("/none"), dangling));
  EXPECT_TRUE(profile::WriteString("S", "k", std::nullopt, dangling));
  EXPECT_FALSE(profile::WriteString("S", "k", QStringLiteral("v"), dangling));
  EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/none")));
#endif
}

// Edits change the text in place; whatever the line ends around them, the result is the text the
// Windows functions give, every line ending in CR LF.
TEST(IniDocumentTest, EditsKeepEveryOtherLineWhateverItsLineEnd) {
  IniDocument doc = IniDocument::Parse(QStringLiteral("[S]\rx=1\n\nb=2"));
  EXPECT_TRUE(doc.Set(u"S", u"x", std::nullopt));
  EXPECT_EQ(doc.Serialize(), "[S]\r\n\r\nb=2\r\n");
  EXPECT_TRUE(doc.Set(u"S", u"c", QStringLiteral("3")));
  EXPECT_EQ(doc.Serialize(), "[S]\r\n\r\nb=2\r\nc=3\r\n");

  doc = IniDocument::Parse(QStringLiteral("[S]\r\nx=1\n\nb\n[T]\rt=1\r"));
  EXPECT_TRUE(doc.Set(u"s", u"X", std::nullopt));
  EXPECT_TRUE(doc.Set(u"t", u"t", QStringLiteral("22")));
  EXPECT_FALSE(doc.Set(u"t", u"t", QStringLiteral("22")));
  EXPECT_EQ(doc.Serialize(), "[S]\r\n\r\nb\r\n[T]\r\nt=22\r\n");
  EXPECT_EQ(doc.Value(u"S", u"b"), QString());
  EXPECT_EQ(doc.Value(u"T", u"t"), "22");

  for (const QString& text : {QStringLiteral("[S]\rk=v"), QStringLiteral("[S]\rk=v\r")}) {
    doc = IniDocument::Parse(text);
    EXPECT_TRUE(doc.Set(u" N ", u"n", QStringLiteral("1")));
    EXPECT_EQ(doc.Serialize(), "[S]\r\nk=v\r\n[N]\r\nn=1\r\n");
  }
  doc = IniDocument::Parse(QStringLiteral("[S]"));
  EXPECT_TRUE(doc.Set(u"S", u"k", QStringLiteral("v")));
  EXPECT_TRUE(doc.Set(u"S", u"k", std::nullopt));
  EXPECT_EQ(doc.Serialize(), "[S]\r\n");
}

// A 50 MB settings file is read and rewritten with one changed entry in well under two seconds and four
// times its size in memory. Timing depends on the machine, so this runs only on request:
// framework_tests --gtest_also_run_disabled_tests --gtest_filter='*LargeFile*'
TEST_F(ProfileTest, DISABLED_LargeFileIsReadAndRewrittenQuickly) {
#ifdef _WIN32
  GTEST_SKIP() << "measures memory with getrusage";
#else
  constexpr qint64 kSize = 50 << 20;
  int sections = 0;
  {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    QByteArray chunk;
    qint64 written = 0;
    for (; written < kSize; ++sections) {
      const int section = sections;
      chunk = "[Machine" + QByteArray::number(section) + "]\r\n";
      for (int key = 0; key < 200; ++key) {
        chunk += "Document" + QByteArray::number(key) +
                 " = \\\\hmi-server\\docs\\Gr\xF6\xDF"
                 "e " +
                 QByteArray::number(section * 1000 + key) + ".pdf\r\n";
      }
      written += out.write(chunk);
    }
  }
  const qint64 size = QFileInfo(file).size();
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  QElapsedTimer timer;
  timer.start();
  // The last section's entry: every line of the file is looked at.
  const QString section = QStringLiteral("Machine%1").arg(sections - 1);
  ASSERT_TRUE(profile::WriteStrings({{section, "Document7", QStringLiteral("changed")}}, file));
  const qint64 writeMs = timer.restart();
  EXPECT_EQ(Read(section.toLower(), "document7"), "changed");
  const qint64 readMs = timer.elapsed();
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  const double peakMiB = static_cast<double>(after.ru_maxrss) / 1024.0;
  std::printf("%.1f MiB file: rewrite %lld ms, read %lld ms, peak memory %.1f MiB (%.1f MiB before)\n",
              static_cast<double>(size) / (1 << 20), static_cast<long long>(writeMs),
              static_cast<long long>(readMs), peakMiB, static_cast<double>(before.ru_maxrss) / 1024.0);
  EXPECT_LT(writeMs + readMs, 2000);
  EXPECT_LT(after.ru_maxrss * 1024.0, 4.0 * static_cast<double>(size));
#endif
}

}  // namespace
