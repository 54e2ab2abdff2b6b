#!/usr/bin/env bash
# Shared by run.sh and screenshot.sh (sourced): builds what the demo needs, generates
# trading days, serves them with the stand-in report server on loopback and downloads and
# processes them into a program folder, as the desktop program's own catch-up would.
#
# After `demo_prepare FROM TO [SERVER_TIME]`: ZARVEX_HOME and ZARVEX_REPORT_HOST are exported,
# the server runs until the script exits.

demo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
demo_build=${ZARVEX_BUILD_DIR:-$demo_root/build/release}

demo_build_targets() {
    if [ ! -f "$demo_build/build.ninja" ]; then
        cmake -S "$demo_root" -B "$demo_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DZARVEX_BUILD_TESTS=OFF -DZARVEX_BUILD_BENCH=OFF > /dev/null
    fi
    cmake --build "$demo_build" --target zarvex zarvex-cli zarvex-reportgen zarvex-reportserver
}

demo_stop_server() {
    if [ -n "${demo_server_pid:-}" ]; then
        kill "$demo_server_pid" 2> /dev/null || true
        wait "$demo_server_pid" 2> /dev/null || true
    fi
    [ -n "${demo_raw:-}" ] && rm -rf "$demo_raw"
}

# demo_prepare FROM TO [SERVER_TIME]: days YYYYMMDD; SERVER_TIME "YYYYMMDD hh:mm:ss" (Greenwich)
# fixes the server's clock, else it runs on the computer's.
demo_prepare() {
    local from=$1 to=$2 server_time=${3:-}
    local cli="$demo_build/src/app/cli/zarvex-cli"
    export ZARVEX_HOME=${ZARVEX_HOME:-$(mktemp -d -t zarvex-home-XXXXXX)}
    mkdir -p "$ZARVEX_HOME/INPUT" "$ZARVEX_HOME/OUTPUT" "$ZARVEX_HOME/DB"
    demo_raw=$(mktemp -d -t zarvex-server-XXXXXX)
    trap demo_stop_server EXIT

    echo "Generating the trading days $from to $to ..."
    "$demo_build/tools/reportgen/zarvex-reportgen" --raw "$demo_raw" --from "$from" --to "$to" \
        > /dev/null

    local time_option=()
    [ -n "$server_time" ] && time_option=(--time "$server_time")
    "$demo_build/tools/reportserver/zarvex-reportserver" --root "$demo_raw" --port 0 \
        --port-file "$demo_raw/port" "${time_option[@]}" > /dev/null &
    demo_server_pid=$!
    for _ in $(seq 1 200); do [ -s "$demo_raw/port" ] && break; sleep 0.05; done
    [ -s "$demo_raw/port" ] || { echo "the report server did not start" >&2; exit 1; }
    export ZARVEX_REPORT_HOST="127.0.0.1:$(cat "$demo_raw/port")"
    echo "Stand-in report server on $ZARVEX_REPORT_HOST"

    local now
    now=$("$cli" network-time)
    echo "Exchange time: $now. Downloading and processing the previous 30 days ..."
    "$cli" forward-points --time "$now" 2> /dev/null
    "$cli" download-previous-days --now "$now" --pause-ms 0 > /dev/null 2>&1 || true
    "$cli" process-previous-days --date "${now%% *}" 2> /dev/null > /dev/null || true
    echo "Program folder: $ZARVEX_HOME"
}
