#!/usr/bin/env bash
# Builds Tallowmark when needed and starts it: on the user's X display, or,
# when there is none, on a virtual display (Xvfb) with trayer as the
# notification area. Hot keys and typing need X11 (or XWayland).
set -euo pipefail
cd "$(dirname "$0")/.."

# A build of the program alone, so that running needs none of the test tools.
if [ ! -f build-run/CMakeCache.txt ]; then
  cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLOWMARK_TESTS=OFF -DTALLOWMARK_BENCH=OFF
fi
cmake --build build-run --target tallowmark

if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="/tmp/runtime-$(id -u)"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi

# Quick Notes keeps data.txt in the program's current directory: this one.
echo "Tallowmark starts in $(pwd): Quick Notes keeps its notes in data.txt there." >&2

if [ -n "${DISPLAY:-}" ]; then
  exec build-run/tallowmark "$@"
fi

echo "No X display: running Tallowmark on a virtual display with trayer as the notification area." >&2
exec xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  trayer --edge top --align right --widthtype request --height 24 --transparent false --expand true &
  sleep 0.5
  exec build-run/tallowmark "$@"' run "$@"
