// Feeds arbitrary command lines to the command-word reader and the start-mode decision.
#include "framework/CommandLine.h"
#include "framework/Text.h"
#include "fuzz/FuzzCheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qsizetype split = input.indexOf(u'\x01');
  const QString line = split < 0 ? input : input.left(split);
  const QString word = split < 0 ? QStringLiteral("EXTERNAL") : input.mid(split + 1);

  const QString value = ReadCommand(line, word);
  // A value never holds a slash, is upper case and has no blanks around it.
  FUZZ_CHECK(!value.contains(u'/') && UCase(value) == value && TrimBlanks(value) == value);

  const StartMode mode = GetStartModeIntegrated(line);
  FUZZ_CHECK(!(mode.integrated && mode.silent));
  FUZZ_CHECK(mode.logfile == GetPathLogfile(line));
  return 0;
}
