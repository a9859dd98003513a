// Compares the program's INI layer with the Windows private-profile functions as Wine provides them
// (Wine's profile functions are tested against Windows). It generates INI files with the sections and
// entries of the settings file and the program INI, in the shapes such files take when people and
// other programs edit them, and runs the settings file's start-up reads and closing writes on each file
// twice: through the profile probe under Wine, and through the INI layer. The values read and the
// files written must be equal, but for Wine's layout of a file it rewrites (Content) and where the
// design decides otherwise (SameReads, DecidedView, OddSectionHeader).
//
//   ini_wine_compare PROBE.exe WORK_FOLDER [CASES [SEED]]
//
// Exit status 0 when every case agrees (or differs only as decided), 1 otherwise; the cases that
// differ are kept in WORK_FOLDER.

#include "framework/Cp1252.h"
#include "framework/Profile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

struct Operation {
  char kind;  // R read text, I read number, W write, X remove
  QByteArray section, entry, value;
};

// ---- Generated files -------------------------------------------------------------------------------

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
  bool Chance(int percent) { return Pick(100) < percent; }

  QByteArray SectionName() {
    static const char* names[] = {"Machine1",   "machine1",   "MACHINE2", "Machine3",
                                  "NetAddress", "netaddress", "Project",  "Other"};
    return names[Pick(8)];
  }

  QByteArray EntryName() {
    static const char* stems[] = {"Reference", "Symbol", "User", "Password", "NetAddress", "NetDrive"};
    QByteArray name = QByteArray(stems[Pick(6)]) + QByteArray::number(1 + Pick(9));
    if (Chance(20)) name = name.toUpper();
    if (Chance(10)) name = name.toLower();
    if (Chance(5)) name = "NumberOfMachines";
    return name;
  }

  QByteArray Blanks() {
    static const char* blanks[] = {"", "", "", " ", "  ", "\t", " \t "};
    return blanks[Pick(7)];
  }

  QByteArray Value() {
    static const char* values[] = {"C:\\Doku\\Anleitung.pdf",
                                   "\\\\srv\\docs\\plan.pdf",
                                   "",
                                   "Symbol 3.bmp",
                                   "0x1F",
                                   "-5",
                                   "12abc",
                                   "a=b",
                                   "x ; not a comment",
                                   "Ma\337e \351t\351 \200",
                                   "\xff\xfe",
                                   "  padded  "};
    QByteArray value = values[Pick(12)];
    switch (Pick(12)) {
      case 0:
        value = '"' + value + '"';
        break;
      case 1:
        value = '\'' + value + '\'';
        break;
      case 2:
        value = '"' + value + '\'';
        break;
      case 3:
        value = '"' + value;
        break;
      case 4:
        value = QByteArray(200 + Pick(150), 'v');
        break;
      case 5:
        value += '\t';
        break;
      default:
        break;
    }
    return value;
  }

  QByteArray LineEnd() {
    const int pick = Pick(40);
    return pick == 0 ? QByteArray("\n") : QByteArray("\r\n");
  }

  QByteArray Line() {
    switch (Pick(20)) {
      case 0:
        return Blanks() + "; a comment";
      case 1:
        return "# not a comment=1";
      case 2:
        return "";
      case 3:
        return "line without equals";
      case 4:
        return "=value without name";
      case 5:
        return Blanks() + "[" + Blanks() + SectionName() + Blanks() + "]" + Blanks();
      case 6:
        return "[" + SectionName() + "] trailing";
      case 7:
        return "[" + SectionName();  // no closing bracket
      case 8:
        return EntryName() + "=" + Value() + QByteArray(1, '\0') + "after NUL";
      default:
        return Blanks() + EntryName() + Blanks() + "=" + Blanks() + Value() + Blanks();
    }
  }

  QByteArray File() {
    QByteArray file;
    const int sections = Pick(6);
    for (int s = 0; s < sections; ++s) {
      file += "[" + SectionName() + "]" + LineEnd();
      const int lines = Pick(12);
      for (int l = 0; l < lines; ++l) file += Line() + LineEnd();
    }
    if (Chance(10) && file.endsWith("\r\n")) file.chop(2);
    return file;
  }

  // The settings file's start-up reads (with the default of 255 blanks the program passes), a few
  // number reads, then its closing writes: the values read, changed or emptied, in the program's order.
  std::vector<Operation> Operations() {
    std::vector<Operation> ops;
    const QByteArray blanks(255, ' ');
    std::vector<Operation> writes;
    auto both = [&](const QByteArray& section, const QByteArray& entry) {
      ops.push_back({'R', section, entry, blanks});
      const int change = Pick(10);
      if (change < 6)
        writes.push_back({'W', section, entry, change < 3 ? Value() : QByteArray()});
      else if (change == 6)
        writes.push_back({'X', section, entry, {}});
    };
    for (int machine = 1; machine <= 3; ++machine) {
      const QByteArray section = "Machine" + QByteArray::number(machine);
      for (int key = 1; key <= 9; ++key) {
        both(section, "Reference" + QByteArray::number(key));
        both(section, "Symbol" + QByteArray::number(key));
      }
    }
    for (int n = 1; n <= 5; ++n) {
      for (const char* stem : {"User", "Password", "NetAddress", "NetDrive"}) {
        both("NetAddress", stem + QByteArray::number(n));
      }
    }
    ops.push_back({'I', "Project", "NumberOfMachines", "-1"});
    ops.push_back({'I', "Machine1", "NumberOfMachines", "7"});
    ops.insert(ops.end(), writes.begin(), writes.end());
    if (Chance(30)) ops.push_back({'W', "Machine" + QByteArray::number(4 + Pick(3)), "Reference1", Value()});
    return ops;
  }

 private:
  std::mt19937 random_;
};

// ---- The two sides ------------------------------------------------------------------------------------

QByteArray Hex(const QByteArray& bytes) {
  return bytes.isEmpty() ? QByteArray("-") : bytes.toHex();
}

QByteArray OperationsText(const std::vector<Operation>& ops) {
  QByteArray text;
  for (const Operation& op : ops) {
    text += op.kind;
    text += ' ' + Hex(op.section) + ' ' + Hex(op.entry);
    if (op.kind != 'X') text += ' ' + Hex(op.value);
    text += '\n';
  }
  return text;
}

// The same operations through the INI layer. The closing writes go to the file in one rewrite, as the
// program writes them.
QByteArray RunIniLayer(const std::vector<Operation>& ops, const QString& file) {
  QByteArray results;
  std::vector<profile::EntryWrite> writes;
  for (const Operation& op : ops) {
    const QString section = DecodeCp1252(op.section), entry = DecodeCp1252(op.entry);
    if (op.kind == 'R') {
      QString out;
      const int count = profile::GetString(section, entry, DecodeCp1252(op.value), out, 255, file);
      results += QByteArray::number(count) + ' ' + EncodeCp1252(out.left(count)).toHex() + '\n';
    } else if (op.kind == 'I') {
      results += QByteArray::number(profile::GetInt(section, entry, op.value.toInt(), file)) + '\n';
    } else {
      writes.push_back(
          {section, entry, op.kind == 'W' ? std::optional<QString>(DecodeCp1252(op.value)) : std::nullopt});
    }
  }
  if (!writes.empty() && !profile::WriteStrings(writes, file)) results += "write failed\n";
  return results;
}

QString WinePath(const QString& path) {
  return QStringLiteral("Z:") + QString(path).replace(u'/', u'\\');
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// ---- Differences of layout and decided differences ---------------------------------------------------

// Wine's functions rewrite the whole file in their own layout when they write: blanks around names and
// values, blank lines and what follows a NUL byte go. The INI layer keeps every line it does not change
// as it was (as Windows does) and keeps the rest of a line after a NUL (the design's rule). Both give
// the same values back; this is the file as those values and its order of sections and entries.
QByteArray Content(const QByteArray& file) {
  QByteArray content;
  for (QByteArray line : QByteArray(file).replace("\r\n", "\n").replace('\r', '\n').split('\n')) {
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0) line.truncate(nul);
    line = line.trimmed();
    if (line.isEmpty()) continue;
    const qsizetype equals = line.indexOf('=');
    if (line.startsWith('[')) {
      const qsizetype close = line.lastIndexOf(']');
      line = '[' + line.mid(1, close < 0 ? -1 : close - 1).trimmed() + ']';
    } else if (equals >= 0 && !line.startsWith(';')) {
      line = line.left(equals).trimmed() + '=' + line.mid(equals + 1).trimmed();
    }
    content += line + '\n';
  }
  return content;
}

// A missing entry read with the default of 255 blanks: Wine gives one blank (count 1), the INI layer
// the empty text (count 0), as the Windows functions are documented to strip a default's trailing
// blanks and as the program relies on. Other reads must be equal.
bool SameReads(const QByteArray& wine, const QByteArray& layer) {
  const QList<QByteArray> w = wine.split('\n'), l = layer.split('\n');
  if (w.size() != l.size()) return false;
  for (qsizetype i = 0; i < w.size(); ++i) {
    if (w[i] != l[i] && !(w[i] == "1 20" && l[i] == "0 ")) return false;
  }
  return true;
}

// What the design decides otherwise than Wine, seen in a file's content: the entry lines of the first of
// each section's duplicates, and the order of the other lines (comments, lines without "="). The INI
// layer writes only into the first of duplicate sections, which is the one read (Wine also changes
// later ones, which are never read), and puts a new entry right after the last entry line of its
// section (Wine after the section's last line, a comment included). A line "=value" has no name to be
// read by; Wine keeps only the first of them in a section, the INI layer every line it does not change,
// so they are left out. A file equal in this view gives the same values back from both.
QByteArray DecidedView(const QByteArray& content) {
  QByteArray entries, others;
  QList<QByteArray> seen;
  bool shadowed = false;
  for (const QByteArray& line : content.split('\n')) {
    if (line.isEmpty()) continue;
    if (line.startsWith('[')) {
      const QByteArray name = line.toLower();
      shadowed = seen.contains(name);
      if (!shadowed) seen.push_back(name);
      if (!shadowed) entries += line + '\n';
    } else if (line.startsWith('=')) {
      continue;
    } else if (line.contains('=') && !line.startsWith(';')) {
      if (!shadowed) entries += line + '\n';
    } else {
      others += line + '\n';
    }
  }
  return entries + "--\n" + others;
}

// A section header with a "]" inside its name, text after it or no "]" at all ("[s]x]", "[s] x", "[s"):
// the INI layer ends the name at the first "]" or at the line's end (section "s"); Wine's functions end
// it at the last "]" ("s]x") and take a line without "]" for no header at all, so that the entries
// below it stay in the section above. The design keeps its own reading; a case whose file holds such a
// header is not compared.
bool OddSectionHeader(const QByteArray& file) {
  for (const QByteArray& line : file.split('\n')) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith('[') && (!trimmed.endsWith(']') || trimmed.count(']') > 1)) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: ini_wine_compare PROBE.exe WORK_FOLDER [CASES [SEED]]\n");
    return 2;
  }
  const QString probe = QString::fromLocal8Bit(argv[1]);
  const QString work = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
  const int cases = argc > 3 ? std::atoi(argv[3]) : 400;
  const uint32_t seed = argc > 4 ? static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)) : 1;
  QDir().mkpath(work);

  Generator generator(seed);
  QByteArray list;
  std::vector<std::vector<Operation>> operations;
  std::vector<QByteArray> files;
  for (int i = 0; i < cases; ++i) {
    const QString base = work + QStringLiteral("/case%1").arg(i, 4, 10, QLatin1Char('0'));
    files.push_back(generator.File());
    operations.push_back(generator.Operations());
    if (!WriteAll(base + ".wine.ini", files.back()) || !WriteAll(base + ".layer.ini", files.back()) ||
        !WriteAll(base + ".ops", OperationsText(operations.back()))) {
      std::fprintf(stderr, "cannot write the cases into %s\n", qPrintable(work));
      return 2;
    }
    list += (WinePath(base + ".ops") + '|' + WinePath(base + ".wine.ini") + '|' +
             WinePath(base + ".wine.reads") + "\r\n")
                .toLocal8Bit();
  }
  WriteAll(work + "/cases.list", list);

  QProcess wine;
  wine.setProcessChannelMode(QProcess::ForwardedChannels);
  wine.start(QStringLiteral("wine"), {probe, WinePath(work + "/cases.list")});
  if (!wine.waitForFinished(-1) || wine.exitCode() != 0) {
    std::fprintf(stderr, "the profile probe failed under Wine (status %d)\n", wine.exitCode());
    return 2;
  }

  int same = 0, sameContent = 0, decided = 0, differ = 0;
  for (int i = 0; i < cases; ++i) {
    const QString base = work + QStringLiteral("/case%1").arg(i, 4, 10, QLatin1Char('0'));
    const QByteArray layerReads = RunIniLayer(operations[i], base + ".layer.ini");
    WriteAll(base + ".layer.reads", layerReads);
    const QByteArray wineReads = ReadAll(base + ".wine.reads");
    const QByteArray wineFile = ReadAll(base + ".wine.ini"), layerFile = ReadAll(base + ".layer.ini");
    if (layerReads == wineReads && layerFile == wineFile) {
      ++same;
    } else if (SameReads(wineReads, layerReads) && Content(layerFile) == Content(wineFile)) {
      ++sameContent;
    } else if (OddSectionHeader(files[i]) ||
               (SameReads(wineReads, layerReads) &&
                DecidedView(Content(layerFile)) == DecidedView(Content(wineFile)))) {
      ++decided;
    } else {
      ++differ;
      WriteAll(base + ".original.ini", files[i]);
      std::printf("differs: %s\n", qPrintable(base));
      continue;
    }
    for (const char* suffix : {".ops", ".wine.ini", ".layer.ini", ".wine.reads", ".layer.reads"}) {
      QFile::remove(base + suffix);
    }
  }
  std::printf(
      "INI layer against Wine's profile functions, %d cases: %d equal byte for byte, %d equal but for "
      "Wine's layout, %d differ as the design decides, %d differ\n",
      cases, same, sameContent, decided, differ);
  return differ == 0 ? 0 : 1;
}
