#!/usr/bin/env bash
# Builds Tallowmark when needed, installs it into its program folder and
# starts it: on the user's X display, or, when there is none, on a virtual
# display (Xvfb) with trayer as the notification area. Hot keys and typing
# need X11 (or XWayland).
#
# The program keeps its data files next to its executable, and Quick Notes
# keeps data.txt in the folder it is started from. Both lie outside the
# repository, so that a clean build, `git clean` or a fresh clone loses
# nothing:
#   $home/           the start folder: data.txt (Quick Notes)
#   $home/program/   the program folder: the executable, the address books,
#                    templates, information entries and settings
# The start folder is not the program folder, where data.txt would be listed
# as a template, and holds nothing but the program's own, so one copy of
# $home is a whole backup.
set -euo pipefail
cd "$(dirname "$0")/.."
home="${XDG_DATA_HOME:-$HOME/.local/share}/tallowmark"

# A build of the program alone, so that running needs none of the test tools.
if [ ! -f build-run/CMakeCache.txt ]; then
  cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLOWMARK_TESTS=OFF -DTALLOWMARK_BENCH=OFF
fi
cmake --build build-run --target tallowmark
mkdir -p -m 700 "$home"
# Installs the executable only: every data file beside it stays as it is.
cmake --install build-run --prefix "$home/program" > /dev/null

if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="/tmp/runtime-$(id -u)"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi

echo "Tallowmark keeps its data in $home/program and Quick Notes in $home/data.txt." >&2
# Earlier versions of this script ran the program inside the repository.
if [ -f build-run/settings.dat ] || [ -f data.txt ]; then
  echo "Data of an earlier run is still in $(pwd)/build-run (and the notes in $(pwd)/data.txt):" \
       "copy what you keep into $home/program (and $home), then delete it there." >&2
fi
cd "$home"

if [ -n "${DISPLAY:-}" ]; then
  exec program/tallowmark "$@"
fi

echo "No X display: running Tallowmark on a virtual display with trayer as the notification area." >&2
exec xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  trayer --edge top --align right --widthtype request --height 24 --transparent false --expand true &
  sleep 0.5
  exec program/tallowmark "$@"' run "$@"
