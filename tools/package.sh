#!/usr/bin/env bash
# Builds the Debian package: the program in /opt/documentation-config/program and a desktop entry that
# starts it standalone. The package file lands in build/package.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DQVZ_BUILD_TESTS=OFF -DQVZ_BUILD_BENCHMARKS=OFF \
  -DCMAKE_INSTALL_PREFIX=/ -DQVZ_PROGRAM_DIR=opt/documentation-config/program \
  -DQVZ_DESKTOP_DIR=usr/share/applications -DQVZ_ICON_DIR=usr/share/icons/hicolor/128x128/apps >/dev/null
cmake --build build/package -j"$jobs" --target Documentation_Config
(cd build/package && cpack -G DEB)
