#!/usr/bin/env bash
# Builds the program and opens the editor on the demo project. Installs missing Debian packages first.
# Extra arguments go to the program (for example EXTERNAL=SILENT). Without a display to show the window
# on, the demo runs unattended (EXTERNAL=SILENT) and shows what the run wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
# The build's output goes to a log; the terminal gets one line, and the log's end when the build fails.
mkdir -p build/demo
log=build/demo/build.log
printf 'Building the program and the demo project (log: %s) ...' "$log"
if ! { cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DQVZ_BUILD_TESTS=OFF \
         -DQVZ_BUILD_BENCHMARKS=OFF && cmake --build build/demo -j"$jobs" --target demo_project; } >"$log" 2>&1; then
  echo " failed:"
  tail -n 30 "$log"
  exit 1
fi
echo " done"

# The demo installation lies in build/demo/project: program folder "program", base folder "project".
project=build/demo/project
# A window needs a Wayland display or a reachable X display.
display_usable() {
  [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
  [ -n "${DISPLAY:-}" ] || return 1
  case "$DISPLAY" in
    :*|unix:*) local n=${DISPLAY#*:}; [ -S "/tmp/.X11-unix/X${n%%.*}" ] ;;
    *) return 0 ;;
  esac
}
unattended=0
if [ $# -eq 0 ] && ! display_usable; then
  echo "There is no display to show the editor's window on (DISPLAY and WAYLAND_DISPLAY name none)."
  echo "Running the demo unattended instead: Documentation_Config EXTERNAL=SILENT"
  echo
  set -- EXTERNAL=SILENT
  unattended=1
fi
# The demo keeps its service log beside the project instead of the system's.
export HALVEK_SERVICE_LOG=${HALVEK_SERVICE_LOG:-$PWD/$project/HalvekServicePack.log}

status=0
"$project/program/Documentation_Config" "$@" || status=$?
echo "Documentation_Config ended with status $status"

if [ "$unattended" -eq 1 ]; then
  show() { echo; echo "== $1"; if [ -f "$1" ]; then tr -d '\r' <"$1" | sed -n "${2:-1,\$}p"; else echo "(none)"; fi; }
  show "$project/program/Documentation_Customer.cfg"
  show "$project/Documentation/Documentation.cfg"
  show "$project/parameter/Program.ini"
  show "$project/QVZcfglog.txt"
  show "$HALVEK_SERVICE_LOG"
  echo
  echo "== $project/Documentation/Documentation.mdb: updated $(date -r "$project/Documentation/Documentation.mdb" '+%F %T')"
  echo
  echo "To see the window, run this on a desktop (or over ssh -X)."
fi
# What the update did, whichever way the program ran.
show() { echo; echo "== $1"; if [ -f "$1" ]; then tr -d '\r' <"$1"; else echo "(none)"; fi; }
show "$project/Documentation/Documentation_Update.txt"
exit "$status"
