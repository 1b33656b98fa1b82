#!/usr/bin/env bash
# Checks the format of the code first, as it fails in seconds, then
# builds everything and runs every test twice: as the program ships (build/),
# and with AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/),
# where any finding, a leak included, in a test or in a program a test
# starts fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/format.sh --check
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
ctest --test-dir build --output-on-failure -j"$(nproc)"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWMARK_SANITIZE=ON \
  -DTALLOWMARK_BENCH=OFF
cmake --build build-sanitize
# Reports go to files: a program that a test starts and stops (the program
# itself, the text window) reports there too, where nobody would read its
# error output.
reports="$PWD/build-sanitize/reports"
rm -rf "$reports"
mkdir -p "$reports"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:log_path=$reports/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
status=0
ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)" || status=$?
if compgen -G "$reports/*" > /dev/null; then
  for report in "$reports"/*; do
    echo "==== $report" >&2
    cat "$report" >&2
  done
  echo "The sanitizers found faults: see the reports above." >&2
  exit 1
fi
exit "$status"
