#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/, clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs every one of them for
# SECONDS seconds, side by side (FUZZ_JOBS at a time, all cores unless told).
# Each starts from the tests' corpus and seeds of its own, and keeps what it
# learns in build-fuzz/corpus/NAME for the next run. A finding is saved in
# build-fuzz/findings/NAME/ and fails the run.
# Usage: scripts/fuzz.sh SECONDS [TARGET...]   (every target unless named)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: scripts/fuzz.sh SECONDS}"
jobs="${FUZZ_JOBS:-$(nproc)}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWMARK_FUZZ=ON \
  -DTALLOWMARK_DESKTOP=OFF -DTALLOWMARK_TESTS=OFF -DTALLOWMARK_BENCH=OFF
cmake --build build-fuzz

# The files the targets write, in memory when the machine allows, gone at the end.
FUZZ_SCRATCH=$(mktemp -d -p /dev/shm tallowmark-fuzz.XXXXXX 2>/dev/null || mktemp -d)
export FUZZ_SCRATCH
trap 'rm -rf "$FUZZ_SCRATCH"' EXIT
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in build-fuzz/fuzz/fuzz_*; do targets+=("$(basename "$exe" | sed 's/^fuzz_//')"); done
fi

run() {
  local name="$1" exe="build-fuzz/fuzz/fuzz_$1"
  rm -rf "build-fuzz/seeds/$name"
  FUZZ_WRITE_SEEDS="build-fuzz/seeds/$name" "$exe"
  mkdir -p "build-fuzz/corpus/$name" "build-fuzz/findings/$name"
  # Inputs of up to 64 KiB: the targets reach the readers' limits with a
  # count in their first bytes, not with megabytes.
  "$exe" -max_total_time="$seconds" -max_len=65536 -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$name/" "build-fuzz/corpus/$name" "build-fuzz/seeds/$name" \
    > "build-fuzz/$name.log" 2>&1
}

pids=()
for name in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run "$name" &
  pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
  name="${targets[$i]}"
  status=0
  wait "${pids[$i]}" || status=$?
  log="build-fuzz/$name.log"
  # A target that fails at its first input has no coverage line.
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$( (grep -o 'cov: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)
  features=$( (grep -o 'ft: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)
  findings=$(find "build-fuzz/findings/$name" -type f | wc -l)
  printf '%-18s %10s executions  coverage %5s edges %6s features  %s findings\n' \
    "$name" "${runs:-?}" "${cov:-?}" "${features:-?}" "$findings"
  if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
    failed=1
    tail -60 "$log" >&2
  fi
done
exit "$failed"
