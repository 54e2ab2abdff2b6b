#!/usr/bin/env bash
# The program as `cmake --install` lays it out (under a DESTDIR, prefix /usr): every file in its
# standard place, the desktop entry valid, the icons of the right sizes, and the installed
# zarvex-cli working on a generated folder and on the per-user folder of an installed program.
#
#   install_test.sh BUILD_DIR GUI(ON|OFF)
set -euo pipefail
build=$1
gui=$2
work=$(mktemp -d -t zarvex-install-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

DESTDIR="$work/root" cmake --install "$build" --prefix /usr > "$work/install.log" ||
    { cat "$work/install.log" >&2; fail "cmake --install failed"; }
usr="$work/root/usr"
expected=(bin/zarvex-cli bin/zarvex-reportgen bin/zarvex-reportserver
    share/man/man1/zarvex-cli.1.gz share/man/man1/zarvex-reportgen.1.gz
    share/man/man1/zarvex-reportserver.1.gz share/doc/zarvex/changelog.gz
    share/doc/zarvex/copyright share/bash-completion/completions/zarvex-cli
    share/zsh/vendor-completions/_zarvex-cli lib/systemd/user/zarvex-api.service)
if [ "$gui" = ON ]; then
    expected+=(bin/zarvex share/man/man1/zarvex.1.gz share/doc/zarvex/help.html
        share/applications/zarvex.desktop)
    for size in 48 128 256; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/zarvex.png")
    done
fi
for file in "${expected[@]}"; do
    [ -s "$usr/$file" ] || fail "not installed: /usr/$file"
done
# Nothing of the build's own (tests, tools, static libraries) goes into the install.
unexpected=$(cd "$work/root" && find . -type f | grep -v -e '^./usr/bin/zarvex' -e '^./usr/share/' \
    -e '^./usr/lib/systemd/user/zarvex-api.service$' || true)
[ -z "$unexpected" ] || fail "installed beyond the program: $unexpected"

if [ "$gui" = ON ]; then
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    for size in 48 128 256; do
        png="$usr/share/icons/hicolor/${size}x${size}/apps/zarvex.png"
        read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
            awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
        [ "$width $height" = "$size $size" ] || fail "$png is ${width}x$height"
    done
    grep -q '^Name\[ru\]=' "$usr/share/applications/zarvex.desktop" || fail "no Russian name"
    grep -q '^Comment\[ru\]=' "$usr/share/applications/zarvex.desktop" || fail "no Russian comment"
    grep -qx 'Icon=zarvex' "$usr/share/applications/zarvex.desktop" || fail "the entry names no icon"
fi

# The installed command line: help, the manual page, and the day work on a generated folder.
cli="$usr/bin/zarvex-cli"
env -u ZARVEX_HOME "$cli" --help | grep -q '^Usage: zarvex-cli' || fail "zarvex-cli --help"
zcat "$usr/share/man/man1/zarvex-cli.1.gz" | grep -q '^\.TH ZARVEX-CLI 1' || fail "the manual page"
if command -v man > /dev/null; then
    MANWIDTH=80 man -l "$usr/share/man/man1/zarvex-cli.1.gz" 2> /dev/null | grep -q 'process-day' ||
        fail "man cannot show the manual page"
fi
if [ "$gui" = ON ]; then
    # Answered without a window, and without a display.
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/zarvex" --version |
        grep -qx 'zarvex [0-9.]*' || fail "zarvex --version"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/zarvex" --help |
        grep -q '^Usage: zarvex' || fail "zarvex --help"
fi

"$usr/bin/zarvex-reportgen" --home "$work/data" --from 20251201 --to 20251205 \
    > /dev/null
mkdir -p "$work/data/OUTPUT" "$work/data/DB"
"$cli" --home "$work/data" process-day --date 20251205 2> "$work/process.log" ||
    { cat "$work/process.log" >&2; fail "installed zarvex-cli process-day"; }
"$cli" --home "$work/data" --today 20251205 indicators --symbol EUR > "$work/eur.json" ||
    fail "installed zarvex-cli indicators"
grep -q '"date": "05.12.2025"' "$work/eur.json" || fail "indicators: $(cat "$work/eur.json")"

# No $ZARVEX_HOME and nothing beside /usr/bin: the per-user folder, made on the first run.
env -u ZARVEX_HOME -u XDG_DATA_HOME HOME="$work/user" "$cli" process-day --date 20251205 \
    2> /dev/null || true
for folder in INPUT OUTPUT DB; do
    [ -d "$work/user/.local/share/zarvex/$folder" ] || fail "per-user folder: no $folder"
done

# The installed demo: the installed generator and stand-in server, into a folder of its own.
env -u ZARVEX_HOME -u ZARVEX_REPORT_HOST PATH=/nonexistent XDG_DATA_HOME="$work/user-data" \
    "$cli" --today 20251208 demo --days 2 > "$work/demo.out" 2> "$work/demo.log" ||
    { cat "$work/demo.log" >&2; fail "installed zarvex-cli demo"; }
[ "$(cat "$work/demo.out")" = "$work/user-data/zarvex-demo" ] || fail "demo: $(cat "$work/demo.out")"
[ -f "$work/user-data/zarvex-demo/INPUT/CUR_20251205.TXT" ] || fail "demo: no downloaded day"

if [ "$gui" = ON ]; then
    if ! command -v desktop-file-validate > /dev/null; then
        echo "desktop-file-validate is missing (scripts/setup.sh installs desktop-file-utils)"
        exit 77
    fi
    desktop-file-validate "$usr/share/applications/zarvex.desktop" ||
        fail "desktop-file-validate refused the entry"
fi
echo "installed and working: ${expected[*]}"
