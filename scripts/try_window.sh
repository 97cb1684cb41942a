#!/usr/bin/env bash
# Runs the window under a virtual X display with a window manager, for
# trying it by keyboard (xdotool) and taking screenshots (import).
#   scripts/try_window.sh [FILE.xml]      display :77, screenshots by
#   DISPLAY=:77 import -window root shot.png
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install_packages.sh try-window xvfb openbox xdotool imagemagick
Xvfb :77 -screen 0 1280x800x24 &
sleep 1
DISPLAY=:77 openbox &
sleep 1
DISPLAY=:77 exec build/bin/horatab "$@"
