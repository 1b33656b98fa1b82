#!/usr/bin/env bash
# Runs the whole test suite again and again, side by side as scripts/test.sh
# runs it, to show that no test flakes: stops at the first failing run.
# Usage: scripts/repeat.sh [RUNS] [BUILD_FOLDER]   (30 runs of build/ unless told)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-30}"
build="${2:-build}"
for ((run = 1; run <= runs; run++)); do
  start=$SECONDS
  if ! ctest --test-dir "$build" -j"$(nproc)" --output-on-failure > "$build/repeat-last.log" 2>&1; then
    cat "$build/repeat-last.log"
    echo "run $run of $runs failed (load average $(cut -d' ' -f1-3 /proc/loadavg))" >&2
    exit 1
  fi
  echo "run $run of $runs passed in $((SECONDS - start)) s, load average $(cut -d' ' -f1-3 /proc/loadavg)"
done
echo "$runs consecutive runs without a failure"
