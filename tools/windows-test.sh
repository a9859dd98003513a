#!/usr/bin/env bash
# Builds the Windows program with Debian's MinGW-w64 cross compilers and runs its test suites under Wine.
#
# The first run on a machine installs the Debian packages it needs and builds SQLite, Qt (qtbase, the
# host's Qt version) and GoogleTest for Windows from Debian's sources into a cache folder outside the
# repository; later runs reuse that cache and only build the program and its tests.
#
#   QVZ_WINDOWS_CACHE  the cache folder (default ~/.cache/documentation-config-windows)
#   QVZ_WINDOWS_JOBS   parallel build jobs (default: the number of processors)
#   QVZ_WINDOWS_QT     "core" builds only Qt Core (no window module); default "widgets"
#
#   tools/windows-test.sh              build the cache when needed, the program, run the tests
#   tools/windows-test.sh --cache-only build the cache and stop
#
# The last line counts the passed, failed and skipped tests.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

cache=${QVZ_WINDOWS_CACHE:-$HOME/.cache/documentation-config-windows}
jobs=${QVZ_WINDOWS_JOBS:-$(nproc 2>/dev/null || echo 2)}
qt_scope=${QVZ_WINDOWS_QT:-widgets}
cache_only=0
[ "${1:-}" = "--cache-only" ] && cache_only=1

triplet=x86_64-w64-mingw32
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
started=$(date +%s)

log() { echo "== $* ($(( $(date +%s) - started )) s)"; }

# ---------------------------------------------------------------------------------------------------
# Debian packages: the cross compilers, Wine, and what unpacking and building the sources needs.
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64 wine wine64 dpkg-dev tcl
          cmake ninja-build qt6-base-dev qt6-base-dev-tools qt6-translations-l10n googletest unzip zip python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  log "Installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The host's Qt, whose tools (moc, rcc, uic) the cross build uses; its version is the one built.
host_qt_cmake=$(dirname "$(dpkg -L qt6-base-dev | grep '/cmake/Qt6/Qt6Config.cmake$' | head -n1)")
host_qt_cmake_dir=$(dirname "$host_qt_cmake")
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
sqlite_version=$(dpkg-query -W -f='${Version}' libsqlite3-dev 2>/dev/null || echo "")
mkdir -p "$cache"

# ---------------------------------------------------------------------------------------------------
# Debian's sources through a private sources list; the machine's own apt set-up stays as it is.
fetch_source() {  # package version -> prints the unpacked folder
  local package=$1 version=$2 apt="$cache/apt"
  local dir
  dir=$(find "$cache/src" -maxdepth 1 -type d -name "${package}-*" 2>/dev/null | head -n1)
  if [ -n "$dir" ] && [ -f "$cache/src/.${package}.version" ] \
     && [ "$(cat "$cache/src/.${package}.version")" = "$version" ]; then
    echo "$dir"; return
  fi
  mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$cache/src"
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  cat > "$apt/sources.list" <<EOF
deb-src http://deb.debian.org/debian $codename main
deb-src http://deb.debian.org/debian $codename-updates main
deb-src http://deb.debian.org/debian-security $codename-security main
EOF
  local opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=/nonexistent"
              -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt" -o "Dir::Cache::archives=$apt/archives"
              -o "APT::Sandbox::User=$(id -un)")
  [ -n "$(ls "$apt/lists" 2>/dev/null | grep Sources)" ] || apt-get "${opts[@]}" -qq update >&2
  rm -rf "$cache/src/${package}-"* "$cache/src/${package}_"*
  (cd "$cache/src" && apt-get "${opts[@]}" -qq source "${package}=${version}" >&2) \
    || (apt-get "${opts[@]}" -qq update >&2 && cd "$cache/src" && apt-get "${opts[@]}" -qq source "${package}=${version}" >&2)
  echo "$version" > "$cache/src/.${package}.version"
  find "$cache/src" -maxdepth 1 -type d -name "${package}-*" | head -n1
}

# ---------------------------------------------------------------------------------------------------
# SQLite: the amalgamation made from Debian's source, built as sqlite3.dll with Debian's options.
sqlite_prefix=$cache/sqlite
if [ ! -f "$sqlite_prefix/.done" ] || [ "$(cat "$sqlite_prefix/.done")" != "$sqlite_version" ]; then
  log "Building SQLite $sqlite_version for Windows"
  src=$(fetch_source sqlite3 "$sqlite_version")
  rm -rf "$cache/build/sqlite" "$sqlite_prefix"
  mkdir -p "$cache/build/sqlite" "$sqlite_prefix/bin" "$sqlite_prefix/lib" "$sqlite_prefix/include"
  (cd "$cache/build/sqlite" && "$src/configure" --disable-tcl >/dev/null && make -s sqlite3.c >/dev/null)
  sqlite_defines=$(sed -n '/^export CFLAGS += /,/^$/p' "$src/debian/rules" | grep -o -- '-DSQLITE_[A-Za-z0-9_=]*' | tr '\n' ' ')
  # shellcheck disable=SC2086
  $triplet-gcc-posix -O2 -fno-strict-aliasing $sqlite_defines -DSQLITE_API='__declspec(dllexport)' \
    -shared -o "$sqlite_prefix/bin/sqlite3.dll" "$cache/build/sqlite/sqlite3.c" \
    -Wl,--out-implib,"$sqlite_prefix/lib/libsqlite3.dll.a"
  cp "$cache/build/sqlite/sqlite3.h" "$cache/build/sqlite/sqlite3ext.h" "$sqlite_prefix/include/"
  echo "$sqlite_version" > "$sqlite_prefix/.done"
fi

# ---------------------------------------------------------------------------------------------------
# Qt: qtbase of the host's version, shared, Core (+ Gui, Widgets, Test and the offscreen and windows
# platform plugins). Built where it is used (no install step): the build folder is the Qt prefix.
qt_prefix=$cache/qt
qt_key="$qt_version $qt_scope 3"  # the last word changes with the configure options
if [ ! -f "$qt_prefix/.done" ] || [ "$(cat "$qt_prefix/.done")" != "$qt_key" ]; then
  log "Building Qt $qt_version ($qt_scope) for Windows; this takes long the first time"
  src=$(fetch_source qt6-base "$qt_version")
  gui=ON
  [ "$qt_scope" = core ] && gui=OFF
  mkdir -p "$qt_prefix"
  # Without Direct2D, Qt 6.4.2's Gui leaves out the DirectWrite 3 font database that the windows
  # platform plugin still asks for (it fails to link), so DirectWrite 3 is switched off too.
  if [ ! -f "$qt_prefix/build.ninja" ] || [ "$(cat "$qt_prefix/.configured" 2>/dev/null)" != "$qt_key" ]; then
    rm -rf "${qt_prefix:?}"/*
    (cd "$qt_prefix" && cmake -S "$src" -B . -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_qt_cmake_dir" \
      -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
      -DBUILD_WITH_PCH=ON \
      -DFEATURE_gui=$gui -DFEATURE_widgets=$gui -DFEATURE_testlib=ON \
      -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
      -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no \
      -DFEATURE_vulkan=OFF -DFEATURE_jpeg=OFF -DFEATURE_direct2d=OFF \
      -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF \
      -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF \
      -DFEATURE_tabletevent=OFF -DFEATURE_directwrite3=OFF \
      > "$cache/qt-configure.log" 2>&1) || { tail -n 40 "$cache/qt-configure.log"; exit 1; }
    echo "$qt_key" > "$qt_prefix/.configured"
  fi
  # Core first: the program's libraries and their suites need nothing else.
  nice -n 10 cmake --build "$qt_prefix" -j"$jobs" --target Core > "$cache/qt-build.log" 2>&1 \
    || { tail -n 40 "$cache/qt-build.log"; exit 1; }
  nice -n 10 cmake --build "$qt_prefix" -j"$jobs" >> "$cache/qt-build.log" 2>&1 \
    || { tail -n 40 "$cache/qt-build.log"; exit 1; }
  echo "$qt_key" > "$qt_prefix/.done"
fi

# Qt's own German and English texts (the window's boxes and file dialog): Debian's, the same files on
# every platform, where the Windows Qt looks for them.
mkdir -p "$qt_prefix/translations"
cp /usr/share/qt6/translations/qtbase_de.qm /usr/share/qt6/translations/qtbase_en.qm "$qt_prefix/translations/"

# ---------------------------------------------------------------------------------------------------
# GoogleTest from Debian's source package (/usr/src/googletest), static, for Windows.
gtest_prefix=$cache/googletest
gtest_version=$(dpkg-query -W -f='${Version}' googletest)
if [ ! -f "$gtest_prefix/.done" ] || [ "$(cat "$gtest_prefix/.done")" != "$gtest_version" ]; then
  log "Building GoogleTest $gtest_version for Windows"
  rm -rf "$cache/build/googletest" "$gtest_prefix"
  cmake -S /usr/src/googletest -B "$cache/build/googletest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest_prefix" -DBUILD_GMOCK=ON \
    -Dgtest_disable_pthreads=OFF > "$cache/googletest-build.log" 2>&1
  nice -n 10 cmake --build "$cache/build/googletest" -j"$jobs" >> "$cache/googletest-build.log" 2>&1 \
    || { tail -n 40 "$cache/googletest-build.log"; exit 1; }
  cmake --install "$cache/build/googletest" >> "$cache/googletest-build.log" 2>&1
  echo "$gtest_version" > "$gtest_prefix/.done"
fi

log "Cache ready in $cache"
[ $cache_only -eq 1 ] && exit 0

# ---------------------------------------------------------------------------------------------------
# The program, its window module and the test suites, cross-built.
build=${QVZ_WINDOWS_BUILD:-$repo/build/windows}
gui_targets=()
if [ "$qt_scope" != core ]; then
  gui_targets=(Documentation_Config_window editor_tests)
fi
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
log "Cross-building the program and its suites in $build"
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  "${launcher[@]}" \
  -DCMAKE_FIND_ROOT_PATH="$qt_prefix;$gtest_prefix;$sqlite_prefix" \
  -DCMAKE_PREFIX_PATH="$qt_prefix;$gtest_prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_qt_cmake_dir" \
  -DSQLite3_INCLUDE_DIR="$sqlite_prefix/include" -DSQLite3_LIBRARY="$sqlite_prefix/lib/libsqlite3.dll.a" \
  -DQVZ_BUILD_BENCHMARKS=OFF \
  > "$build.configure.log" 2>&1 || { tail -n 40 "$build.configure.log"; exit 1; }
suites=(framework_tests texts_tests presets_tests core_tests)
cmake --build "$build" -j"$jobs" --target Documentation_Config make_database profile_probe "${suites[@]}" "${gui_targets[@]}"
[ "$qt_scope" != core ] && suites+=(editor_tests)

# ---------------------------------------------------------------------------------------------------
# Wine: a prefix of its own in the cache, no display, no installer dialogs. The DLLs the executables need
# (Qt, SQLite, the MinGW runtime) are found through WINEPATH.
export WINEPREFIX=$cache/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
unset WAYLAND_DISPLAY
gcc_runtime=$(dirname "$($triplet-g++-posix -print-file-name=libstdc++-6.dll)")
pthread_runtime=$(dirname "$($triplet-g++-posix -print-file-name=libwinpthread-1.dll)")
to_wine() { echo "Z:${1//\//\\}"; }
export WINEPATH="$(to_wine "$qt_prefix/bin");$(to_wine "$sqlite_prefix/bin");$(to_wine "$gcc_runtime");$(to_wine "$pthread_runtime")"
export QT_QPA_PLATFORM=offscreen
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  log "Creating the Wine prefix"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi

passed=0 failed=0 skipped=0 broken=()
for suite in "${suites[@]}"; do
  exe=$(find "$build" -name "$suite.exe" -type f | head -n1)
  out="$build/$suite.wine.log"
  log "Running $suite under Wine"
  status=0
  (cd "$(dirname "$exe")" && timeout 1800 wine "$exe" --gtest_color=no) > "$out" 2>&1 || status=$?
  p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$out" | tail -n1)
  f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$out" | tail -n1)
  k=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) test.*/\1/p' "$out" | tail -n1)
  passed=$((passed + ${p:-0})); failed=$((failed + ${f:-0})); skipped=$((skipped + ${k:-0}))
  if [ -z "$p" ] && [ -z "$f" ]; then
    broken+=("$suite")
    echo "$suite ended with status $status before its summary; its output:"; tail -n 30 "$out"
  elif [ -n "$f" ]; then
    grep '^\[  FAILED  \] [A-Za-z]' "$out" | sort -u || true
  fi
  echo "$suite: ${p:-0} passed, ${f:-0} failed, ${k:-0} skipped (status $status, output in $out)"
done

# ---------------------------------------------------------------------------------------------------
# Checks beside the suites, each counted as one test: the INI layer against Wine's profile functions,
# and a silent run of the demo project compared with the same run on Linux. Both need the host's
# build (the Linux program and the comparison program); it is the build folder of tools/test.sh.
host=$repo/build/test
log "Building the host's program and comparison program in $host"
if [ -f "$host/CMakeCache.txt" ]; then
  cmake -S "$repo" -B "$host" > "$build.host.log" 2>&1
else
  cmake -S "$repo" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" > "$build.host.log" 2>&1
fi
cmake --build "$host" -j"$jobs" --target ini_wine_compare demo_project >> "$build.host.log" 2>&1 \
  || { tail -n 40 "$build.host.log"; exit 1; }

check() {  # name command... : runs a check and counts it
  local name=$1; shift
  log "Checking $name"
  if "$@"; then passed=$((passed + 1)); echo "$name: passed"
  else failed=$((failed + 1)); echo "$name: FAILED"; fi
}
probe=$(find "$build" -name profile_probe.exe -type f | head -n1)
check "INI layer against Wine's profile functions" \
  "$host/tests/ini_wine_compare" "$probe" "$build/ini-compare" "${QVZ_INI_CASES:-400}"
check "silent demo run, Windows against Linux" bash "$repo/tools/windows-demo-compare.sh" \
  "$host/project" "$build" "$build/demo-compare"
wineserver -k 2>/dev/null || true

# ---------------------------------------------------------------------------------------------------
# The Windows program as a zip of its program folder, with the DLLs it needs.
if [ "$qt_scope" != core ]; then
  log "Packing the Windows program"
  bash "$repo/tools/windows-package.sh" "$build" "$qt_prefix" "$sqlite_prefix" "$gcc_runtime" "$pthread_runtime"
fi

log "Done"
echo "Windows tests under Wine: $passed passed, $failed failed, $skipped skipped${broken:+, suites that did not finish: ${broken[*]}}"
[ "$failed" -eq 0 ] && [ ${#broken[@]} -eq 0 ]
