#!/usr/bin/env bash
# Opens Zarvex on generated data: installs what is missing, builds the program in build/demo,
# generates the last 60 days of reports, serves them with the stand-in report server on
# loopback, downloads and processes the previous 30 days into the program folder
# build/demo-home, and starts the desktop program on it (its own scheduler then talks to the
# same server). The server stops when the window is closed (or Ctrl+C).
#
#   bash scripts/run.sh [--fresh] [--xvfb [--screenshot FILE]] [rus|eng]
#
#   --fresh            start over: a new program folder and newly generated reports
#   --xvfb             open the window under a virtual display (no screen needed), save a
#                      picture of it and end by itself
#   --screenshot FILE  where --xvfb saves the picture (default build/demo/screenshot.png)
#
# A second run reuses the program folder and the reports and starts in seconds.
# ZARVEX_HOME=DIR keeps the program folder there; ZARVEX_BUILD_DIR=DIR picks the build.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

usage() { sed -n '8,16p' "$0" | sed 's/^# \{0,1\}//'; }
fresh=0
xvfb=0
screenshot=""
language=()
while [ $# -gt 0 ]; do
    case $1 in
        --fresh) fresh=1 ;;
        --xvfb) xvfb=1 ;;
        --screenshot)
            [ $# -ge 2 ] || { echo "run: --screenshot needs a file name" >&2; exit 2; }
            screenshot=$2
            shift
            ;;
        rus | eng) language=("$1") ;;
        -h | --help) usage; exit 0 ;;
        *) echo "run: unknown argument $1" >&2; usage >&2; exit 2 ;;
    esac
    shift
done
if [ -n "$screenshot" ] && [ $xvfb -eq 0 ]; then
    echo "run: --screenshot goes with --xvfb" >&2
    exit 2
fi

started=$SECONDS
# Nothing modal where nobody may be looking: messages of the window go to its output.
export ZARVEX_UNATTENDED=1
echo "[1/5] Checking the Debian packages (scripts/setup.sh) ..."
bash "$here/setup.sh"
source "$here/demo_data.sh"

echo "[2/5] Building ..."
demo_build_targets

export ZARVEX_HOME=${ZARVEX_HOME:-$demo_root/build/demo-home}
reports="$demo_build/demo-reports"
if [ $fresh -eq 1 ]; then
    echo "Starting over: removing $ZARVEX_HOME/{INPUT,OUTPUT,DB} and $reports"
    rm -rf "$ZARVEX_HOME/INPUT" "$ZARVEX_HOME/OUTPUT" "$ZARVEX_HOME/DB" "$reports"
fi

echo "[3/5] Reports ..."
demo_generate "$(date -u -d '60 days ago' +%Y%m%d)" "$(date -u +%Y%m%d)" "$reports"
echo "[4/5] Report server ..."
demo_serve "$reports"
echo "[5/5] Downloading and processing the previous 30 days into $ZARVEX_HOME ..."
demo_catch_up
echo "Ready after $((SECONDS - started)) s."

gui_command="ZARVEX_HOME=$ZARVEX_HOME $demo_gui"
cat << EOT

Program folder: $ZARVEX_HOME
  open the window again:  bash scripts/run.sh          (reuses the data; seconds)
     or without the stand-in server:  $gui_command
  the command line on it: $demo_cli --home $ZARVEX_HOME indicators --symbol EUR
                          ($demo_cli --help lists the commands)
  start over:             bash scripts/run.sh --fresh
EOT

if [ $xvfb -eq 1 ]; then
    command -v xvfb-run > /dev/null || demo_fail "xvfb-run is missing (scripts/setup.sh installs it)"
    out=$(realpath -m "${screenshot:-$demo_build/screenshot.png}")
    mkdir -p "$(dirname "$out")"
    rm -f "$out"
    echo
    echo "Opening the window under a virtual display; it saves a picture and ends by itself ..."
    # The window's status texts go to a log, shown when no picture came.
    log="$demo_build/zarvex-xvfb.log"
    if ! ZARVEX_SCREENSHOT="$out" xvfb-run -a -s "-screen 0 1280x800x24" "$demo_gui" \
        "${language[@]}" > "$log" 2>&1 || [ ! -s "$out" ]; then
        tail -n 40 "$log" >&2
        if grep -q 'already running' "$log"; then
            demo_fail "a Zarvex window on $ZARVEX_HOME is already open; close it, or give another ZARVEX_HOME"
        fi
        demo_fail "the window saved no picture at $out (its output is in $log)"
    fi
    echo "Saved the picture of the window: $out"
    exit 0
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo
    echo "No display here, so the window cannot open. The days are ready in $ZARVEX_HOME."
    echo "To see the window under a virtual display, saved as a picture:"
    echo "    bash scripts/run.sh --xvfb"
    exit 0
fi
echo
echo "Starting Zarvex (close the window, or press Ctrl+C here, to end) ..."
"$demo_gui" "${language[@]}"
