#!/usr/bin/env bash
# Builds everything and runs every test: the unit and end-to-end suites, then the same suites under
# AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz target for a short time.
# Installs missing Debian packages first. FUZZ_SECONDS sets the fuzz time per target (default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

echo "== Build and tests =="
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test -j"$jobs" --output-on-failure

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
bash tools/sanitize-build.sh
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp
ctest --test-dir build/sanitize -j"$jobs" --output-on-failure

echo "== Fuzzing =="
bash tools/fuzz.sh "${FUZZ_SECONDS:-30}"
