#!/usr/bin/env bash
# Runs the demo project silently (EXTERNAL=SILENT) with the Linux program and with the Windows program
# under Wine, each on its own copy of the demo installation, and compares what the two runs wrote: the
# settings files byte for byte, the project database by content, the update reports without the lines
# that name the run's date and paths. Called by tools/windows-test.sh, which sets up Wine.
#
#   tools/windows-demo-compare.sh DEMO_INSTALLATION WINDOWS_BUILD WORK_FOLDER
set -euo pipefail
demo=$1 windows_build=$2 work=$3

rm -rf "$work"
mkdir -p "$work"
cp -a "$demo" "$work/linux"
cp -a "$demo" "$work/windows"
rm -f "$work/windows/program/Documentation_Config" "$work/windows/program/Documentation_Config_window.so"
cp "$windows_build/Documentation_Config.exe" "$windows_build/Documentation_Config_window.dll" "$work/windows/program/"

to_wine() { echo "Z:${1//\//\\}"; }
status_linux=0 status_windows=0
HALVEK_SERVICE_LOG=$work/linux/service.log "$work/linux/program/Documentation_Config" EXTERNAL=SILENT \
  > "$work/linux.out" 2>&1 || status_linux=$?
(cd "$work/windows/program" && HALVEK_SERVICE_LOG=$(to_wine "$work/windows/service.log") \
  wine Documentation_Config.exe EXTERNAL=SILENT) > "$work/windows.out" 2>&1 || status_windows=$?

different=0
differ() { echo "  differs: $*"; different=1; }
[ "$status_linux" = "$status_windows" ] || differ "exit status (Linux $status_linux, Windows $status_windows)"
[ "$status_linux" = 0 ] || differ "the Linux run ended with status $status_linux"

# The settings the run writes, byte for byte. The edit info's editor code comes from the first entry of
# each process's environment, which Wine makes up itself; that entry is left out of the comparison.
for file in program/Documentation_Customer.cfg Documentation/Documentation.cfg parameter/Program.ini \
            parameter/qvzconfiguration.ini; do
  if ! cmp -s "$work/linux/$file" "$work/windows/$file"; then
    if ! diff <(grep -av '^S_Editor=' "$work/linux/$file") <(grep -av '^S_Editor=' "$work/windows/$file") >/dev/null; then
      differ "$file"; diff <(tr -d '\r' < "$work/linux/$file") <(tr -d '\r' < "$work/windows/$file") | head -n 20 || true
    fi
  fi
done
# Logs that one run wrote and the other did not.
for file in QVZcfglog.txt service.log; do
  [ -s "$work/linux/$file" ] && differ "the Linux run wrote $file: $(tr -d '\r' < "$work/linux/$file" | tail -n 3)"
  [ -s "$work/windows/$file" ] && differ "the Windows run wrote $file: $(tr -d '\r' < "$work/windows/$file" | tail -n 3)"
done

# The project database by content (SQLite's header counters are the run's own).
dump() {
  python3 - "$1" <<'PY'
import sqlite3, sys
db = sqlite3.connect("file:" + sys.argv[1] + "?mode=ro", uri=True)
print(db.execute("PRAGMA integrity_check").fetchone()[0])
for line in db.iterdump():
    print(line)
PY
}
if ! diff <(dump "$work/linux/Documentation/Documentation.mdb") \
          <(dump "$work/windows/Documentation/Documentation.mdb") > "$work/database.diff"; then
  differ "Documentation/Documentation.mdb ($(wc -l < "$work/database.diff") lines of difference in $work/database.diff)"
fi
# The update reports: everything but the date and the lines that hold paths.
report=Documentation/Documentation_Update.txt
strip_report() { tr -d '\r' < "$1" | grep -av -e '^Date' -e '/' -e '\\' || true; }
if ! diff <(strip_report "$work/linux/$report") <(strip_report "$work/windows/$report"); then
  differ "$report"
fi

if [ "$different" -eq 0 ]; then
  echo "  the Windows run wrote what the Linux run wrote"
fi
exit "$different"
