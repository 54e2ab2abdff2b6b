# bash completion of zarvex-cli: commands, options, symbols, and the contracts and dates that
# the program folder holds (asked of zarvex-cli itself, so they are the stored ones).
_zarvex_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD-1]}
    local command="" symbol="" i
    local -a home=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --home) home=(--home "${COMP_WORDS[i+1]}"); ((i++)) ;;
            --lang|--today|--host|--ca-file) ((i++)) ;;
            --symbol) symbol=${COMP_WORDS[i+1]}; ((i++)) ;;
            --verbose) ;;
            # An option of the command takes the next word unless that is an option too (a
            # flag such as --csv takes none).
            --*) [[ -n $command && ${COMP_WORDS[i+1]} != --* ]] && ((i++)) ;;
            *) [[ -z $command ]] && command=${COMP_WORDS[i]} ;;
        esac
    done
    local ask=(zarvex-cli "${home[@]}" __complete)
    case $prev in
        --symbol) COMPREPLY=($(compgen -W "$("${ask[@]}" symbols 2>/dev/null)" -- "$cur")); return ;;
        --contract) COMPREPLY=($(compgen -W "$("${ask[@]}" contracts $symbol 2>/dev/null)" -- "$cur")); return ;;
        --date|--from|--to|--compare)
            [[ $command == process-day || $command == process-previous-days || $command == unload \
               || $command == trading-day || $command == download-day ]] && return
            COMPREPLY=($(compgen -W "$("${ask[@]}" dates $symbol 2>/dev/null)" -- "$cur")); return ;;
        --home) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --png|--ca-file) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --lang) COMPREPLY=($(compgen -W "eng rus" -- "$cur")); return ;;
        --bind) COMPREPLY=($(compgen -W "127.0.0.1 ::1" -- "$cur")); return ;;
        --price-type|--scale|--type) COMPREPLY=($(compgen -W "0 1 2" -- "$cur")); return ;;
        --param) COMPREPLY=($(compgen -W "0 1 2 3 4" -- "$cur")); return ;;
        --n) COMPREPLY=($(compgen -W "1 2 3 4" -- "$cur")); return ;;
        --contracts) COMPREPLY=($(compgen -W "front all" -- "$cur")); return ;;
        --sign) COMPREPLY=($(compgen -W "dealer-long-calls dealer-short-calls" -- "$cur")); return ;;
        --option) COMPREPLY=($(compgen -W "CALL PUT" -- "$cur")); return ;;
        --fp) COMPREPLY=($(compgen -W "0 1" -- "$cur")); return ;;
        --change) COMPREPLY=($(compgen -W "0 1 5" -- "$cur")); return ;;
        --today|--host|--port|--top|--floor|--days|--time|--now|--year|--strike|--premium) return ;;
        --size|--bar-cond|--level-cond|--fractal-main|--fractal-near|--pause-ms) return ;;
    esac
    local global="--home --lang --today --host --ca-file --verbose --help --version"
    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$("${ask[@]}" commands 2>/dev/null) $global" -- "$cur"))
    elif [[ $command == help ]]; then
        COMPREPLY=($(compgen -W "$("${ask[@]}" commands 2>/dev/null)" -- "$cur"))
    else
        COMPREPLY=($(compgen -W "$("${ask[@]}" options "$command" 2>/dev/null) $global" -- "$cur"))
    fi
}
complete -F _zarvex_cli zarvex-cli
