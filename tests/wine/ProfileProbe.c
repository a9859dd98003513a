/* Runs profile reads and writes through the Windows private-profile functions, for comparing them with
 * the program's own INI layer on the same files.
 *
 *   profile_probe.exe LIST
 *
 * Each line of LIST names three files, separated by '|': the operations, the INI file they work on and
 * the file that receives what the reads returned. An operations file holds one operation per line, its
 * fields hex-encoded (so any byte can be given) and separated by blanks:
 *   R section entry default      GetPrivateProfileStringA with a 255-character buffer
 *   I section entry default      GetPrivateProfileIntA (the default as decimal text)
 *   W section entry value        WritePrivateProfileStringA
 *   X section entry              WritePrivateProfileStringA with no value (removes the entry)
 * Each read adds one line to the result file: the count returned, a blank, the bytes returned (hex).
 * The program prints the ANSI code page first: the files are read in it. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kMaxLine = 70000, kReadBuffer = 255 };

static int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

/* Decodes the next hex field of *cursor into out (NUL-terminated); returns 0 when there is none. */
static int NextField(char** cursor, char* out) {
  char* p = *cursor;
  while (*p == ' ') ++p;
  if (*p == '\0' || *p == '\n' || *p == '\r') return 0;
  size_t n = 0;
  while (*p != ' ' && *p != '\0' && *p != '\n' && *p != '\r') {
    if (*p == '-') { ++p; continue; } /* "-" is the empty field */
    int high = HexValue(p[0]), low = HexValue(p[1]);
    if (high < 0 || low < 0) return 0;
    out[n++] = (char)(high * 16 + low);
    p += 2;
  }
  out[n] = '\0';
  *cursor = p;
  return 1;
}

static void WriteHex(FILE* out, const char* bytes, int count) {
  for (int i = 0; i < count; ++i) fprintf(out, "%02x", (unsigned char)bytes[i]);
}

static int RunCase(const char* opsPath, const char* iniPath, const char* resultPath) {
  FILE* ops = fopen(opsPath, "rb");
  FILE* result = fopen(resultPath, "wb");
  if (!ops || !result) {
    fprintf(stderr, "cannot open %s or %s\n", opsPath, resultPath);
    return 0;
  }
  static char line[kMaxLine], section[kMaxLine], entry[kMaxLine], value[kMaxLine];
  while (fgets(line, sizeof line, ops)) {
    char* cursor = line + 1;
    const char op = line[0];
    if (!NextField(&cursor, section) || !NextField(&cursor, entry)) continue;
    const int hasValue = NextField(&cursor, value);
    if (op == 'R') {
      char buffer[kReadBuffer + 1];
      memset(buffer, 0, sizeof buffer);
      const DWORD count = GetPrivateProfileStringA(section, entry, hasValue ? value : "", buffer, kReadBuffer,
                                                   iniPath);
      fprintf(result, "%lu ", (unsigned long)count);
      WriteHex(result, buffer, (int)count);
      fputc('\n', result);
    } else if (op == 'I') {
      const UINT number = GetPrivateProfileIntA(section, entry, hasValue ? atoi(value) : 0, iniPath);
      fprintf(result, "%u\n", number);
    } else if (op == 'W') {
      WritePrivateProfileStringA(section, entry, hasValue ? value : "", iniPath);
    } else if (op == 'X') {
      WritePrivateProfileStringA(section, entry, NULL, iniPath);
    }
  }
  /* Writes are cached by the profile functions; this flushes them to the file. */
  WritePrivateProfileStringA(NULL, NULL, NULL, iniPath);
  fclose(ops);
  fclose(result);
  return 1;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: profile_probe LIST\n");
    return 2;
  }
  printf("code page %u\n", GetACP());
  FILE* list = fopen(argv[1], "rb");
  if (!list) {
    fprintf(stderr, "cannot open %s\n", argv[1]);
    return 2;
  }
  static char line[4 * MAX_PATH];
  int cases = 0, failed = 0;
  while (fgets(line, sizeof line, list)) {
    line[strcspn(line, "\r\n")] = '\0';
    char* ini = strchr(line, '|');
    char* result = ini ? strchr(ini + 1, '|') : NULL;
    if (!ini || !result) continue;
    *ini++ = '\0';
    *result++ = '\0';
    ++cases;
    if (!RunCase(line, ini, result)) ++failed;
  }
  fclose(list);
  printf("%d cases, %d could not be run\n", cases, failed);
  return failed == 0 ? 0 : 1;
}
