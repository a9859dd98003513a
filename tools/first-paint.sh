#!/usr/bin/env bash
# Times the editor's start on the demo project: from the start of the process to the first paint of its
# window, on a virtual X server, over a number of runs (default 20). Prints every run and the median.
# Usage: tools/first-paint.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
bash tools/deps.sh
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DQVZ_BUILD_TESTS=OFF -DQVZ_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/demo -j"$(nproc 2>/dev/null || echo 2)" --target demo_project >/dev/null
program=build/demo/project/program/Documentation_Config

work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x1024x24 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QVZ_REPORT_FIRST_PAINT=1 HALVEK_SERVICE_LOG="$work/service.log"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

times=()
for i in $(seq "$runs"); do
  start=$(date +%s%3N)
  "$program" 2>"$work/err" &
  pid=$!
  for _ in $(seq 200); do grep -q '^first paint' "$work/err" && break; sleep 0.05; done
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  painted=$(sed -n 's/^first paint //p' "$work/err")
  [ -n "$painted" ] || { echo "run $i: no paint"; cat "$work/err"; exit 1; }
  times+=($((painted - start)))
  echo "run $i: $((painted - start)) ms"
done
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; print "median: " m " ms over " NR " runs"}'
