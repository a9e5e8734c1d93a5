# bash completion for kavrel-cli: commands, net names and log files, asked of
# kavrel-cli itself in the working directory given by -C (or the current one).

_kavrel_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local -a words=("${COMP_WORDS[@]}")
    local cword=$COMP_CWORD

    local -a dir=()
    local i=1
    if [[ ${words[1]} == -C && $cword -gt 2 ]]; then
        dir=(-C "${words[2]}")
        i=3
    elif [[ $prev == -C ]]; then
        local IFS=$'\n'
        COMPREPLY=($(compgen -d -- "$cur"))
        return
    fi
    [[ ${words[i]} == --progress ]] && ((i++))

    local commands="nets logs open titles show search unread export index find archive timeline upfile help"
    if ((cword == i)); then
        COMPREPLY=($(compgen -W "$commands --help --version -C --progress" -- "$cur"))
        return
    fi

    local command=${words[i]}
    local arg=$((cword - i)) # 1 for NET, 2 and on for the logs
    case $prev in
        -o)
            local IFS=$'\n'
            COMPREPLY=($(compgen -f -- "$cur"))
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W "text html mbox" -- "$cur"))
            return
            ;;
        --board | --item | --row | --text | --from | --to | --since | --until | --show | --date | --restore)
            return
            ;;
    esac
    case $command in
        help)
            ((arg == 1)) && COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            ;;
        logs | open | titles | show | search | unread | export | index | archive | timeline | upfile)
            if ((arg == 1)); then
                local IFS=$'\n'
                COMPREPLY=($(compgen -W "$(kavrel-cli "${dir[@]}" nets 2>/dev/null | cut -f2)" -- "$cur"))
            elif [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "--board --item --row --thread --text --from --to --format -o --progress --since --until --show --date --history --restore" -- "$cur"))
            elif [[ $command != logs && $command != index && $command != archive && $command != timeline && $command != upfile ]]; then
                local IFS=$'\n'
                COMPREPLY=($(compgen -W "$(kavrel-cli "${dir[@]}" logs "${words[i + 1]}" 2>/dev/null)" -- "$cur"))
            fi
            ;;
    esac
}
complete -o filenames -F _kavrel_cli kavrel-cli
