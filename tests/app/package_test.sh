#!/usr/bin/env bash
# The Debian package that `cpack -G DEB` makes: its dependencies declared, its files where
# `cmake --install` puts them.
#
#   package_test.sh BUILD_DIR GUI(ON|OFF)
set -euo pipefail
build=$1
gui=$2
if ! command -v dpkg-deb > /dev/null; then
    echo "dpkg-deb is missing: the package cannot be built here"
    exit 77
fi
work=$(mktemp -d -t zarvex-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" > "$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/zarvex_*.deb 2> /dev/null | head -n 1)
[ -n "$deb" ] || fail "no zarvex_*.deb in $(ls "$work")"

depends=$(dpkg-deb -f "$deb" Depends)
needed=(libsqlite3-0 libcurl4 libpcre2-8-0 libpng16-16 libquantlib0v5 libmicrohttpd12)
[ "$gui" = ON ] && needed+=(libqt6widgets6 qt6-qpa-plugins)
for package in "${needed[@]}"; do
    grep -q "\b$package\b" <<< "$depends" || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = zarvex ] || fail "the package is not named zarvex"

contents=$(dpkg-deb -c "$deb")
files=(./usr/bin/zarvex-cli ./usr/bin/zarvex-reportgen ./usr/bin/zarvex-reportserver
    ./usr/share/man/man1/zarvex-cli.1.gz ./usr/share/doc/zarvex/copyright
    ./usr/share/doc/zarvex/changelog.gz ./usr/share/bash-completion/completions/zarvex-cli
    ./usr/share/zsh/vendor-completions/_zarvex-cli ./usr/lib/systemd/user/zarvex-api.service)
[ "$gui" = ON ] && files+=(./usr/bin/zarvex ./usr/share/applications/zarvex.desktop
    ./usr/share/icons/hicolor/48x48/apps/zarvex.png ./usr/share/doc/zarvex/help.html
    ./usr/share/man/man1/zarvex.1.gz)
for file in "${files[@]}"; do
    grep -q " $file\$" <<< "$contents" || fail "the package lacks $file"
done
description=$(dpkg-deb -f "$deb" Description)
grep -q ';' <<< "$description" && fail "the description holds a stray ';': $description"

# What a maintainer runs on a package: no errors, and none of the warnings a small package can
# avoid. lintian is not part of the build's own needs; without it this part is skipped.
if command -v lintian > /dev/null; then
    lintian --tag-display-limit 0 "$deb" > "$work/lintian.log" 2>&1 || true
    if grep -E '^[EW]: ' "$work/lintian.log"; then
        fail "lintian found the errors and warnings above"
    fi
fi
echo "$(basename "$deb"): Depends: $depends"
