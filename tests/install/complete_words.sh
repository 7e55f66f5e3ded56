#!/bin/bash
# Runs the bash completion of ardvel-cli on a few command lines as bash would
# and compares what it offers.
# Usage: complete_words.sh COMPLETION_FILE CATALOG_FOLDER
set -u
# shellcheck disable=SC1091
. /usr/share/bash-completion/bash_completion || exit 1
# shellcheck disable=SC1090
. "$1" || exit 1
folder=$2
status=0

# expect LINE WANTED...: completes at the end of LINE, split as bash splits it.
expect()
{
    local line=$1
    shift
    COMP_LINE=$line
    COMP_POINT=${#line}
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _ardvel_cli ardvel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
    local got
    got=$(printf '%s|' "${COMPREPLY[@]}")
    local want
    want=$(printf '%s|' "$@")
    if [[ $got != "$want" ]]; then
        echo "'$line' offers '$got', expected '$want'"
        status=1
    fi
}

expect "ardvel-cli se" search
expect "ardvel-cli --ver" --version
expect "ardvel-cli --catalog-folder $folder sear" search
expect "ardvel-cli --catalog-folder $folder search --in " All "Music 2002"
expect "ardvel-cli --catalog-folder $folder search --in Mu" "Music 2002"
expect "ardvel-cli --catalog-folder $folder ls Mu" 'Music 2002:\'
expect "ardvel-cli --catalog-folder $folder catalog --n" --name --no
expect "ardvel-cli --catalog-folder $folder search --at-l" --at-least
expect "ardvel-cli c" catalog copies
expect "ardvel-cli --catalog-folder $folder export Mu" "Music 2002"
expect "ardvel-cli --catalog-folder $folder export x --format n" ncdu
expect "ardvel-cli --catalog-folder $folder duplicates --by name+size+" name+size+date
expect "ardvel-cli --catalog-folder $folder duplicates --in " All "Music 2002"
expect "ardvel-cli --catalog-folder $folder ls --f" --format
expect "ardvel-cli --catalog-folder $folder duplicates --fo" --folders --format
expect "ardvel-cli --catalog-folder $folder diff x --format js" json jsonl
expect "ardvel-cli --catalog-folder $folder copies --n" --null
exit $status
