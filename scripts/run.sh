#!/usr/bin/env bash
# Opens Zarvex on generated data: installs what is missing, builds the program, generates the
# last 60 days of reports, serves them with the stand-in report server on loopback, downloads
# and processes the previous 30 days into a program folder, and starts the desktop program
# on it (its own scheduler then talks to the same server). The server stops when the window
# is closed.
#
#   bash scripts/run.sh [rus|eng]
#
# Without a display (a server, a container) the day work still runs, and the script says how
# to see the window under a virtual display:
#   xvfb-run -a bash scripts/run.sh        (or scripts/screenshot.sh for a picture)
# ZARVEX_HOME=DIR keeps the program folder there; ZARVEX_BUILD_DIR=DIR picks the build.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
source "$here/demo_data.sh"

demo_build_targets
demo_prepare "$(date -u -d '60 days ago' +%Y%m%d)" "$(date -u +%Y%m%d)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo
    echo "No display here: the days are downloaded and processed in $ZARVEX_HOME, but the"
    echo "window cannot open. Run it under a virtual display, for example:"
    echo "    xvfb-run -a bash scripts/run.sh"
    echo "or take a picture of the window with: bash scripts/screenshot.sh"
    exit 0
fi
echo "Starting Zarvex ..."
"$demo_build/src/app/gui/zarvex" "$@"
