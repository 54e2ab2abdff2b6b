#!/usr/bin/env bash
# Closes the desktop program while its start-up catch-up waits on a report server that never
# answers, and shows that the process ends at once and that a new start is not refused.
# The window is offscreen; it "closes" through the picture hook (ZARVEX_SCREENSHOT), which
# ends the event loop the way closing the window does. Takes about 80 s: the scheduler's
# catch-up begins a minute after start.
#   tools/reportserver/close_during_download.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build/release}
work=$(mktemp -d -t zarvex-close-XXXXXX)
mkdir -p "$work/home/INPUT" "$work/home/OUTPUT" "$work/home/DB" "$work/srv/toster" "$work/srv/fp"

gui="$build/src/app/gui/zarvex"
server="$build/tools/reportserver/zarvex-reportserver"

"$server" --root "$work/srv" --port 0 --port-file "$work/port" --silent /toster/ > /dev/null &
server_pid=$!
stop_server() { kill "$server_pid" 2> /dev/null || true; wait "$server_pid" 2> /dev/null || true; }
trap stop_server EXIT
for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.05; done
port=$(cat "$work/port")

export QT_QPA_PLATFORM=offscreen ZARVEX_HOME="$work/home" ZARVEX_REPORT_HOST="127.0.0.1:$port"
(sleep 67; echo "open connections to the server 67 s after start:"; ss -tnp | grep ":$port" |
    grep '"zarvex"' || echo "  none") &
watch_pid=$!
ZARVEX_SCREENSHOT="$work/first.png" ZARVEX_SCREENSHOT_DELAY_MS=70000 timeout 200 "$gui" eng \
    > "$work/first.log" 2>&1
ended=$(date +%s.%N)
closed=$(stat -c %.9Y "$work/first.png")
wait "$watch_pid"
echo "from the close to the end of the process: $(echo "$ended - $closed" | bc) s"

ZARVEX_SCREENSHOT="$work/second.png" ZARVEX_SCREENSHOT_DELAY_MS=3000 timeout 30 "$gui" eng \
    > "$work/second.log" 2>&1 && [ -s "$work/second.png" ] &&
    echo "a second start right after runs normally" ||
    echo "the second start did not run (see $work/second.log)"
