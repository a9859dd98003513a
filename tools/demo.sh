#!/usr/bin/env bash
# Builds the program and opens the editor on the demo project. Installs missing Debian packages first.
# Extra arguments go to the program (for example EXTERNAL=SILENT).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DQVZ_BUILD_TESTS=OFF -DQVZ_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/demo -j"$jobs" --target demo_project

# The demo installation lies in build/demo/project: program folder "program", base folder "project".
status=0
build/demo/project/program/Documentation_Config "$@" || status=$?
echo "Documentation_Config ended with status $status"
exit "$status"
