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

    local commands="volumes ls dump media catalog search duplicates copies export import diff update"
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

    local keys="name+size name+size+date size+date name"
    # Options that take a value, by command.
    case $command,$prev in
        volumes,--format | ls,--format | dump,--format | search,--format | duplicates,--format | copies,--format | \
            diff,--format)
            COMPREPLY=($(compgen -W 'tsv csv json jsonl' -- "$cur"))
            return
            ;;
        export,--format)
            COMPREPLY=($(compgen -W 'csv json jsonl ncdu' -- "$cur"))
            return
            ;;
        search,--in | duplicates,--in)
            _ardvel_cli_offer "All"$'\n'"$(_ardvel_cli_volumes)"
            return
            ;;
        duplicates,--by | copies,--by)
            COMPREPLY=($(compgen -W "$keys" -- "$cur"))
            return
            ;;
        import,--from)
            COMPREPLY=($(compgen -W 'ncdu' -- "$cur"))
            return
            ;;
        diff,--volume)
            _ardvel_cli_offer "$(_ardvel_cli_volumes)"
            return
            ;;
        search,--report | export,-o | export,--output)
            _filedir
            return
            ;;
        *,--name | *,--artist | *,--title | *,--months | *,--days | *,--between | *,--at-least | *,--at-most | \
            *,--min-size)
            return
            ;;
    esac

    local formats="--format -0 --null"
    case $command in
        "")
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W '--catalog-folder --help --version' -- "$cur"))
            else
                COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            fi
            ;;
        volumes)
            COMPREPLY=($(compgen -W "$formats" -- "$cur"))
            ;;
        ls | copies)
            if [[ $cur == -* ]]; then
                [[ $command == ls ]] && COMPREPLY=($(compgen -W "$formats" -- "$cur"))
                [[ $command == copies ]] && COMPREPLY=($(compgen -W "--by $formats" -- "$cur"))
            else
                _ardvel_cli_offer "My Catalogs"$'\n'"$(_ardvel_cli_volumes | sed 's/$/:\\/')"
            fi
            ;;
        dump)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "$formats" -- "$cur"))
            else
                _filedir arv
            fi
            ;;
        media)
            _filedir mp3
            ;;
        catalog)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W '--name --yes --no' -- "$cur"))
            else
                _filedir -d
            fi
            ;;
        search)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "--in --artist --title --months --days
                    --between --at-least --at-most --report --ignore-accents $formats" -- "$cur"))
            fi
            ;;
        duplicates)
            COMPREPLY=($(compgen -W "--in --by --min-size --folders $formats" -- "$cur"))
            ;;
        export)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W '--format -o --output' -- "$cur"))
            else
                _ardvel_cli_offer "$(_ardvel_cli_volumes)"
            fi
            ;;
        diff | update)
            if [[ $cur == -* ]]; then
                [[ $command == diff ]] && COMPREPLY=($(compgen -W "--volume --exit-code $formats" -- "$cur"))
                [[ $command == update ]] && COMPREPLY=($(compgen -W '--dry-run' -- "$cur"))
            else
                # The volume first, then the folder to compare it with.
                local n=0
                for ((i = 1; i < cword; i++)); do
                    [[ ${words[i]} != -* && ${words[i - 1]} != --catalog-folder ]] && ((n++))
                done
                if ((n <= 1)); then _ardvel_cli_offer "$(_ardvel_cli_volumes)"; else _filedir -d; fi
            fi
            ;;
        import)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W '--name --from --yes --no' -- "$cur"))
            else
                _filedir
            fi
            ;;
    esac
} &&
    complete -F _ardvel_cli ardvel-cli

# ex: filetype=sh
