#!/usr/bin/env bash
# Runs the day's work against the stand-in report server on generated data:
# generates 40 trading days, serves them on a free loopback port, then downloads the
# previous days and the current day with zarvex-cli and processes them into the databases.
#   tools/reportserver/run_demo.sh [BUILD_DIR] [PROGRAM_FOLDER]
# BUILD_DIR defaults to build/release; PROGRAM_FOLDER to a fresh temporary folder (kept, and
# printed at the end). Prints the server's address so the desktop program can be pointed at
# it with ZARVEX_REPORT_HOST while the server runs (set ZARVEX_DEMO_KEEP=1 to keep it running).
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build/release}
home=${2:-$(mktemp -d -t zarvex-demo-XXXXXX)}
raw=$(mktemp -d -t zarvex-raw-XXXXXX)
mkdir -p "$home/INPUT" "$home/OUTPUT" "$home/DB"

cli="$build/src/app/cli/zarvex-cli"
gen="$build/tools/reportgen/zarvex-reportgen"
server="$build/tools/reportserver/zarvex-reportserver"

# 40 trading days ending Friday 28 December 2012; the last one is "today".
"$gen" --raw "$raw" --from 20121102 --to 20121228 > /dev/null

port_file="$raw/port"
# Greenwich 01:00 on the 29th is 19:00 on the 28th at the exchange.
"$server" --root "$raw" --time "20121229 01:00:00" --port 0 --port-file "$port_file" > /dev/null &
server_pid=$!
stop_server() { kill "$server_pid" 2> /dev/null || true; wait "$server_pid" 2> /dev/null || true; }
trap stop_server EXIT
for _ in $(seq 1 100); do [ -s "$port_file" ] && break; sleep 0.05; done
host="127.0.0.1:$(cat "$port_file")"
echo "stand-in report server on $host"

export ZARVEX_HOME="$home"
export ZARVEX_REPORT_HOST="$host"
echo "network time: $("$cli" network-time)"
"$cli" forward-points --time "20121228 19:00:00"
echo "previous days downloaded: $("$cli" download-previous-days --now "20121228 19:00:00" --pause-ms 0 2> /dev/null)"
"$cli" process-previous-days --date 20121228
echo "current day downloaded: $("$cli" download-day --date 20121228 --pause-ms 0)"
"$cli" process-day --date 20121228
echo "program folder: $home"
if [ "${ZARVEX_DEMO_KEEP:-0}" = "1" ]; then
  echo "server keeps running on $host; press Ctrl+C to stop"
  wait "$server_pid"
fi
rm -rf "$raw"
