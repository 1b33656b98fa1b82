#!/usr/bin/env bash
# Installs the Debian 12 packages Tallowmark needs: to build and run it, and
# with --tests also what its tests and benchmarks need.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libx11-dev libxi-dev libxtst-dev   # the desktop
  libxkbcommon-dev                                # which character a key symbol types
  xvfb xauth trayer                               # a virtual display with a notification area
  dma                                             # the local mail system
)
if [ "${1:-}" = "--tests" ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev xdotool xclip x11-utils imagemagick
             openbox wmctrl                                 # a window manager that maximises and minimises
             clang libclang-rt-14-dev llvm                  # the fuzz targets: libFuzzer and its sanitizers
             clang-format-14                                # the format check of scripts/test.sh
             locales                                        # a decimal-comma locale for the settings test
             python3-tk)                                    # a receiver of typing that is not a Qt program
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
${SUDO:+$SUDO -E} apt-get install -y "${packages[@]}"
if [ "${1:-}" = "--tests" ]; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
