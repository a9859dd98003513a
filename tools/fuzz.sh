#!/usr/bin/env bash
# Builds the sanitizer build (clang, AddressSanitizer and UndefinedBehaviorSanitizer, libFuzzer targets) and
# runs each fuzz target for a bounded time, starting from the seeds in fuzz/corpus.
# Usage: tools/fuzz.sh [seconds per target]   (a longer run: tools/fuzz.sh 600)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash tools/sanitize-build.sh

targets=$(sed -n 's/^add_fuzzer(\([a-z_]*\) .*/\1/p' fuzz/CMakeLists.txt)
for target in $targets; do
  corpus=build/sanitize/corpus/${target#fuzz_}
  mkdir -p "$corpus"
  cp -n fuzz/corpus/${target#fuzz_}/* "$corpus"/ 2>/dev/null || true
  echo "== $target: ${seconds}s =="
  status=0
  QT_QPA_PLATFORM=offscreen build/sanitize/fuzz/$target -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build/sanitize/ "$corpus" \
    >build/sanitize/$target.log 2>&1 || status=$?
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' build/sanitize/$target.log || true
  if [ "$status" -ne 0 ]; then
    grep -A30 -E 'fuzz check failed|ERROR|Assertion|abort' build/sanitize/$target.log | head -60
    echo "$target failed (status $status); the input is in build/sanitize/ (crash-*)"
    exit 1
  fi
done
