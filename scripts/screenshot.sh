#!/usr/bin/env bash
# Takes the picture of the main window for the documentation: generated days up to Friday
# 12 December 2025 served on loopback, the program under Xvfb, the window saved a few seconds
# after start. (To look at the window on today's days, use scripts/run.sh --xvfb.)
#
#   scripts/screenshot.sh [OUT.png] [rus|eng]      (default docs/screenshot.png, eng)
#
# Without OUT it also takes docs/history.png (the History tab), docs/compare.png (the
# histograms over the previous trading day), docs/volatility.png (the Volatility tab with the
# previous trading day's smile), docs/bands.png (the histograms with the expected-move bands)
# and docs/board.png (the evening board). ZARVEX_SCREENSHOT_TAB (0, 1, 2, 3),
# ZARVEX_SCREENSHOT_COMPARE=1 and ZARVEX_SCREENSHOT_BOARD=1 choose the page, the overlay or the
# board of a single picture.
#
#   ZARVEX_SCREENSHOT_VOL_MEMORY=1 scripts/screenshot.sh [OUT.png] [rus|eng]
#
# takes the Volatility tab's page across days instead (default docs/vol_memory.png), on a year
# of days generated with a volatility that has a memory (calm and stressed stretches, realized
# volatility a premium below it), so that its history and cones are not flat.
set -euo pipefail
source "$(dirname "$0")/demo_data.sh"
vol_memory=${ZARVEX_SCREENSHOT_VOL_MEMORY:-0}
default_out=$demo_root/docs/screenshot.png
[ "$vol_memory" = 1 ] && default_out=$demo_root/docs/vol_memory.png
out=$(realpath -m "${1:-$default_out}")
language=${2:-eng}

command -v xvfb-run > /dev/null || demo_fail "xvfb-run is missing: scripts/setup.sh installs it"
demo_build_targets
work=$(mktemp -d -t zarvex-screenshot-XXXXXX)
cleanup() {
    demo_stop_server
    rm -rf "$work"
}
trap cleanup EXIT
export ZARVEX_HOME="$work/home"
# The window's kept state (place, instrument, pages) would change the picture: a fresh one.
export XDG_CONFIG_HOME="$work/config"
if [ "$vol_memory" = 1 ]; then
    # A year of days written straight into the program folder and processed there; the server
    # serves the same days, so that the window's own catch-up finds them done.
    demo_say "Generating a year of days with a volatility that has a memory ..."
    demo_run_logged "$work/reportgen.log" "$demo_build/tools/reportgen/zarvex-reportgen" \
        --home "$ZARVEX_HOME" --raw "$work/reports" --from 20241202 --to 20251212 --vol-memory
    demo_say "Processing them ..."
    for report in "$ZARVEX_HOME"/INPUT/CUR_*.TXT; do
        key=$(basename "$report" .TXT)
        demo_step "the processing of ${key#CUR_}" "$demo_cli" process-day --date "${key#CUR_}"
    done
else
    demo_generate 20251027 20251212 "$work/reports"
fi
# Greenwich 01:00 on the 13th is the evening of the 12th at the exchange.
demo_serve "$work/reports" "20251213 01:00:00"
trap cleanup EXIT
demo_catch_up
take() {
    mkdir -p "$(dirname "$1")"
    rm -f "$1"
    ZARVEX_UNATTENDED=1 ZARVEX_SCREENSHOT="$1" xvfb-run -a -s "-screen 0 1280x800x24" \
        "$demo_gui" "$language"
    [ -s "$1" ] || demo_fail "no picture was taken"
    echo "Saved $1"
}
if [ "$vol_memory" = 1 ]; then
    ZARVEX_SCREENSHOT_TAB=3 ZARVEX_SCREENSHOT_VOL_PAGE=1 take "$out"
    exit 0
fi
take "$out"
if [ -z "${1:-}" ]; then
    ZARVEX_SCREENSHOT_TAB=2 take "$demo_root/docs/history.png"
    ZARVEX_SCREENSHOT_COMPARE=1 take "$demo_root/docs/compare.png"
    ZARVEX_SCREENSHOT_TAB=3 ZARVEX_SCREENSHOT_COMPARE=1 take "$demo_root/docs/volatility.png"
    ZARVEX_SCREENSHOT_TAB=0 take "$demo_root/docs/bands.png"
    ZARVEX_SCREENSHOT_BOARD=1 take "$demo_root/docs/board.png"
fi
