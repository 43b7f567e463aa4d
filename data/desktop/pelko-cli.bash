# bash completion for pelko-cli. The commands and their options are read from
# the program's own help, so they are always the ones it takes; an option
# whose help says "one of: a, b, c" completes to those values.

_pelko_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    local cli=${COMP_WORDS[0]}
    COMPREPLY=()

    local commands
    commands=$("$cli" --help 2>/dev/null | awk '/^commands:$/ { on = 1; next } /^$/ { on = 0 } on && /^  [^ ]/ { print $1 }')
    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W "$commands help --help --version" -- "$cur")
        return
    fi
    local command=${COMP_WORDS[1]}
    if [[ $command == help ]]; then
        ((COMP_CWORD == 2)) && mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
        return
    fi

    local help
    help=$("$cli" "$command" --help 2>/dev/null) || return
    # the option just typed, when it takes a value: "  --NAME VALUE" then its text
    local entry
    entry=$(awk -v o="$prev" '$1 == o && /^  --/ { value = NF > 1; getline; if (value) print; exit }' <<<"$help")
    if [[ $prev == --* && -n $entry ]]; then
        if [[ $entry == *"one of: "* ]]; then
            local values=${entry#*one of: }
            values=${values% (default*}
            values=$(tr ',' '\n' <<<"$values" | awk '{ print $1 }')
            mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
        elif [[ $(awk -v o="$prev" '$1 == o { print $2; exit }' <<<"$help") == *FILE* ]]; then
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        fi
        return
    fi
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(awk '/^  --/ { print $1 }' <<<"$help") --help" -- "$cur")
        return
    fi
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

complete -F _pelko_cli pelko-cli
