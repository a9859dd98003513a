#!/usr/bin/env bash
# Builds the Debian package: the program in /opt/documentation-config/program and a desktop entry that
# starts it standalone. The package file lands in build/package.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DQVZ_BUILD_TESTS=OFF -DQVZ_BUILD_BENCHMARKS=OFF \
  -DCMAKE_INSTALL_PREFIX=/ -DQVZ_PROGRAM_DIR=opt/documentation-config/program \
  -DQVZ_DESKTOP_DIR=usr/share/applications -DQVZ_ICON_DIR=usr/share/icons/hicolor/128x128/apps \
  -DQVZ_DOC_DIR=usr/share/doc/documentation-config -DQVZ_LINTIAN_DIR=usr/share/lintian/overrides >/dev/null
cmake --build build/package -j"$jobs" --target Documentation_Config
(cd build/package && cpack -G DEB)
# The package and its desktop entry pass Debian's checks.
deb=$(ls -t build/package/*.deb | head -n 1)
lintian --fail-on error,warning "$deb"
entry=$(mktemp -d)
trap 'rm -rf "$entry"' EXIT
dpkg-deb -x "$deb" "$entry"
desktop-file-validate "$entry/usr/share/applications/documentation-config.desktop"
echo "$deb passes lintian and desktop-file-validate"
