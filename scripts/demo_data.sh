#!/usr/bin/env bash
# Shared by run.sh and screenshot.sh (sourced): builds what the demo needs in a build folder
# of its own, generates trading days, serves them with the stand-in report server on loopback,
# and downloads and processes them into a program folder day by day, as the desktop program's
# own catch-up would. Every step says what it does; a step that fails stops the script with
# that step's own error lines.

demo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
demo_build=${ZARVEX_BUILD_DIR:-$demo_root/build/demo}
demo_cli="$demo_build/src/app/cli/zarvex-cli"
demo_gui="$demo_build/src/app/gui/zarvex"

demo_say() { printf '%s\n' "$*"; }
demo_fail() {
    printf 'run: %s\n' "$*" >&2
    exit 1
}

# demo_run_logged LOG COMMAND...: runs the command with its output in LOG; on failure shows
# the end of LOG and stops.
demo_run_logged() {
    local log=$1
    shift
    if ! "$@" > "$log" 2>&1; then
        tail -n 40 "$log" >&2
        demo_fail "failed: $* (whole output in $log)"
    fi
}

demo_build_targets() {
    mkdir -p "$demo_build"
    if [ ! -f "$demo_build/build.ninja" ]; then
        demo_say "Configuring the demo build in $demo_build ..."
        demo_say "The first build takes a few minutes (later runs rebuild only what changed)."
        demo_run_logged "$demo_build/configure.log" cmake -S "$demo_root" -B "$demo_build" \
            -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVEX_BUILD_TESTS=OFF -DZARVEX_BUILD_BENCH=OFF
    fi
    demo_say "Building zarvex, zarvex-cli, the report tools and what installing needs in $demo_build ..."
    # Ninja's own [k/n] lines show how far the build is. Everything of this build (no tests):
    # the manual pages and icons too, so that `cpack` and `cmake --install` work on it.
    cmake --build "$demo_build" || demo_fail "the build failed (its errors are above)"
}

demo_stop_server() {
    if [ -n "${demo_server_pid:-}" ]; then
        kill "$demo_server_pid" 2> /dev/null || true
        wait "$demo_server_pid" 2> /dev/null || true
        demo_server_pid=""
    fi
}

# demo_generate FROM TO DIR: the report server's tree of the days FROM..TO (YYYYMMDD) in DIR,
# kept for the next run when it already holds exactly these days.
demo_generate() {
    local from=$1 to=$2 dir=$3
    if [ -f "$dir/.days" ] && [ "$(cat "$dir/.days")" = "$from $to" ]; then
        demo_say "Reports of $from to $to: already generated in $dir"
        return
    fi
    demo_say "Generating the reports of $from to $to in $dir ..."
    rm -rf "$dir"
    mkdir -p "$dir"
    demo_run_logged "$dir/../reportgen.log" \
        "$demo_build/tools/reportgen/zarvex-reportgen" --raw "$dir" --from "$from" --to "$to"
    echo "$from $to" > "$dir/.days"
}

# demo_serve DIR [SERVER_TIME]: starts the stand-in report server on DIR and exports
# ZARVEX_REPORT_HOST; it stops when the script ends. SERVER_TIME "YYYYMMDD hh:mm:ss"
# (Greenwich) fixes the server's clock, else it runs on the computer's.
demo_serve() {
    local dir=$1 server_time=${2:-}
    local log="$dir/../reportserver.log"
    local time_option=()
    [ -n "$server_time" ] && time_option=(--time "$server_time")
    rm -f "$dir/.port"
    "$demo_build/tools/reportserver/zarvex-reportserver" --root "$dir" --port 0 \
        --port-file "$dir/.port" "${time_option[@]}" > "$log" 2>&1 &
    demo_server_pid=$!
    trap demo_stop_server EXIT
    for _ in $(seq 1 200); do
        [ -s "$dir/.port" ] && break
        kill -0 "$demo_server_pid" 2> /dev/null || break
        sleep 0.05
    done
    if [ ! -s "$dir/.port" ]; then
        cat "$log" >&2
        demo_fail "the stand-in report server did not start"
    fi
    export ZARVEX_REPORT_HOST="127.0.0.1:$(cat "$dir/.port")"
    demo_say "Stand-in report server on $ZARVEX_REPORT_HOST"
}

# demo_step WHAT COMMAND...: runs one zarvex-cli step with its status lines kept aside; on
# failure they are shown with what the step printed, and the script stops.
demo_step() {
    local what=$1
    shift
    local log="$demo_build/step.log"
    if ! "$@" > "$log.out" 2> "$log"; then
        echo
        cat "$log.out" "$log" >&2
        demo_fail "$what failed: $*"
    fi
}

# demo_catch_up: the forward points and the 30 days before the exchange's today, downloaded and
# processed one day at a time into $ZARVEX_HOME. Days already done are quick.
demo_catch_up() {
    mkdir -p "$ZARVEX_HOME/INPUT" "$ZARVEX_HOME/OUTPUT" "$ZARVEX_HOME/DB"
    demo_step "asking the exchange time" "$demo_cli" network-time
    local now
    now=$(cat "$demo_build/step.log.out")
    [ "$now" != "-1" ] || demo_fail "the report server does not answer with the exchange time"
    demo_say "Exchange time: $now"
    demo_say "Downloading the forward points ..."
    demo_step "the forward-point download" "$demo_cli" forward-points --time "$now"

    local today n=30 k day
    today=$(date -u -d "${now%% *}" +%Y-%m-%d)
    for k in $(seq 1 $n); do
        day=$(date -u -d "$today -$((n - k + 1)) days" +%Y%m%d)
        printf 'Day %2d of %d (%s): downloading ...' "$k" "$n" "$day"
        demo_step "the download of $day" "$demo_cli" download-day --date "$day" --pause-ms 0
        printf ' processing ...'
        demo_step "the processing of $day" "$demo_cli" process-day --date "$day"
        printf ' done\n'
    done
}
