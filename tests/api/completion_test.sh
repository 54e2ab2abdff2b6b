#!/usr/bin/env bash
# The bash completion script against a table of command lines: what it offers, and what it asks
# zarvex-cli for (a stand-in records the question and passes it on to the real program).
#
#   completion_test.sh SCRIPT ZARVEX_CLI
set -uo pipefail
script=$1
cli=$2
asked=$(mktemp -t zarvex-completion-XXXXXX)
trap 'rm -f "$asked"' EXIT
zarvex-cli() {
    echo "$*" >> "$asked"
    "$cli" "$@"
}
# shellcheck source=/dev/null
source "$script"
failures=0

# complete LINE: the words offered after LINE (its last word is the one being completed).
complete_line() {
    read -r -a COMP_WORDS <<< "$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    : > "$asked"
    _zarvex_cli
    echo "${COMPREPLY[*]}"
}

offers() {
    local got
    got=$(complete_line "$1")
    [[ " $got " == *" $2 "* ]] || { echo "FAIL: '$1' offers '$got', not $2"; failures=$((failures + 1)); }
}
offers_only() {
    local got
    got=$(complete_line "$1")
    [[ $got == "$2" ]] || { echo "FAIL: '$1' offers '$got', not only '$2'"; failures=$((failures + 1)); }
}
asks() {
    complete_line "$1" > /dev/null
    grep -qx -- "$2" "$asked" || { echo "FAIL: '$1' asked '$(cat "$asked")', not '$2'"; failures=$((failures + 1)); }
}

offers "zarvex-cli sc" scorecard
offers "zarvex-cli vol --" --history
offers "zarvex-cli vol --" --density
offers "zarvex-cli exposure --" --all
offers_only "zarvex-cli scorecard --contracts " "front all"
offers_only "zarvex-cli exposure --sign dealer-s" "dealer-short-calls"
offers_only "zarvex-cli histogram --n " "1 2 3 4"
offers_only "zarvex-cli histogram --size " ""
# A global option with a value before the command leaves the command as it is.
offers "zarvex-cli --ca-file /etc/ca.pem --lang eng exposure --" --sign
offers "zarvex-cli --" --ca-file
# A flag takes no value: the symbol after it still chooses the contracts asked for.
asks "zarvex-cli vol --csv --symbol GBP --contract " "__complete contracts GBP"
asks "zarvex-cli --home /nowhere exposure --all --symbol JPY --date " \
    "--home /nowhere __complete dates JPY"

[ "$failures" -eq 0 ] || exit 1
echo "completion: all cases pass"
