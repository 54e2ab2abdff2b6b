#!/usr/bin/env bash
# Takes the picture of the main window for the documentation: generated days up to Friday
# 12 December 2025 served on loopback, the program under Xvfb, the window saved a few seconds
# after start.
#
#   scripts/screenshot.sh [OUT.png] [rus|eng]      (default docs/screenshot.png, eng)
#
# Without OUT it also takes docs/history.png (the History tab) and docs/compare.png (the
# histograms over the previous trading day). ZARVEX_SCREENSHOT_TAB (0, 1, 2) and
# ZARVEX_SCREENSHOT_COMPARE=1 choose the page and the overlay of a single picture.
set -euo pipefail
source "$(dirname "$0")/demo_data.sh"
out=$(realpath -m "${1:-$demo_root/docs/screenshot.png}")
language=${2:-eng}

command -v xvfb-run > /dev/null || { echo "xvfb-run is missing: scripts/setup.sh installs it" >&2; exit 1; }
demo_build_targets
# Greenwich 01:00 on the 13th is the evening of the 12th at the exchange.
demo_prepare 20251027 20251212 "20251213 01:00:00"
take() {
    mkdir -p "$(dirname "$1")"
    rm -f "$1"
    ZARVEX_SCREENSHOT="$1" xvfb-run -a -s "-screen 0 1280x800x24" \
        "$demo_build/src/app/gui/zarvex" "$language"
    [ -s "$1" ] || { echo "no picture was taken" >&2; exit 1; }
    echo "Saved $1"
}
take "$out"
if [ -z "${1:-}" ]; then
    ZARVEX_SCREENSHOT_TAB=2 take "$demo_root/docs/history.png"
    ZARVEX_SCREENSHOT_COMPARE=1 take "$demo_root/docs/compare.png"
fi
