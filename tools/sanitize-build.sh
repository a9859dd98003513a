#!/usr/bin/env bash
# Configures and builds build/sanitize: clang with AddressSanitizer, UndefinedBehaviorSanitizer and the
# libFuzzer targets; the test suites are built there too.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
CC=clang CXX=clang++ cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQVZ_BUILD_FUZZERS=ON -DQVZ_SANITIZE=address,undefined -DQVZ_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/sanitize -j"$jobs"
