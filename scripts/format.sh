#!/usr/bin/env bash
# Formats every C++ file of the project with .clang-format. With --check it
# changes nothing, names the files that differ and fails when there are any.
# The style is tuned for clang-format 14 (Debian 12's): other versions lay
# out some lines differently.
# Usage: scripts/format.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" != "--check" ]; then
  clang-format-14 -i "${files[@]}"
  exit 0
fi
status=0
for file in "${files[@]}"; do
  if ! clang-format-14 "$file" | cmp -s - "$file"; then
    echo "$file: not formatted; scripts/format.sh formats it" >&2
    status=1
  fi
done
exit "$status"
