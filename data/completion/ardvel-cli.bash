# bash completion for ardvel-cli                           -*- shell-script -*-
# Loaded on demand by bash-completion, whose helpers it uses.

# The volume names of the catalog folder named on the line so far (or of the
# default one), one a line.
_ardvel_cli_volumes()
{
    local i folder=()
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --catalog-folder) folder=(--catalog-folder "${words[i + 1]/#\~/$HOME}") ;;
            --catalog-folder=*) folder=("--catalog-folder=${words[i]#*=}") ;;
        esac
    done
    "${words[0]}" "${folder[@]}" volumes 2>/dev/null
}

# Offers each line of $1 that starts with $cur; bash quotes blanks and
# backslashes in what it inserts.
_ardvel_cli_offer()
{
    local IFS=$'\n' line
    for line in $1; do
        [[ $line == "$cur"* ]] && COMPREPLY+=("$line")
    done
    compopt -o filenames 2>/dev/null
    __ltrim_colon_completions "$cur"
}

_ardvel_cli()
{
    local cur prev words cword
    _init_completion -n =: || return

    local commands="volumes ls dump media catalog search"
    local i command=""
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --catalog-folder) ((i++)) ;;
            -*) ;;
            *) command=${words[i]}; break ;;
        esac
    done

    if [[ $prev == --catalog-folder ]]; then
        _filedir -d
        return
    fi

    case $command in
        "")
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W '--catalog-folder --help --version' -- "$cur"))
            else
                COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            fi
            ;;
        volumes) ;;
        ls)
            _ardvel_cli_offer "My Catalogs"$'\n'"$(_ardvel_cli_volumes | sed 's/$/:\\/')"
            ;;
        dump)
            _filedir arv
            ;;
        media)
            _filedir mp3
            ;;
        catalog)
            case $prev in
                --name) return ;;
            esac
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W '--name --yes --no' -- "$cur"))
            else
                _filedir -d
            fi
            ;;
        search)
            case $prev in
                --in)
                    _ardvel_cli_offer "All"$'\n'"$(_ardvel_cli_volumes)"
                    return
                    ;;
                --report)
                    _filedir
                    return
                    ;;
                --artist | --title | --months | --days | --between | --at-least | --at-most)
                    return
                    ;;
            esac
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W '--in --artist --title --months --days
                    --between --at-least --at-most --report' -- "$cur"))
            fi
            ;;
    esac
} &&
    complete -F _ardvel_cli ardvel-cli

# ex: filetype=sh
