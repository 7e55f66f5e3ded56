# fish completion for ardvel-cli

function __ardvel_cli_volumes
    set -l tokens (commandline -opc)
    set -l folder
    set -l i (contains -i -- --catalog-folder $tokens)
    and set folder --catalog-folder $tokens[(math $i + 1)]
    $tokens[1] $folder volumes 2>/dev/null
end

set -l commands volumes ls dump media catalog search
complete -c ardvel-cli -f
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -l catalog-folder -r -a '(__fish_complete_directories)' -d 'Catalog folder to use'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -s h -l help -d 'Show the commands and options'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -l version -d 'Show the version'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a volumes -d 'The volume names'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a ls -d 'The rows of a folder'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a dump -d 'One catalog file, record by record'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a media -d 'Artist and title of MP3 files'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a catalog -d 'Catalogue a folder as a new volume'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a search -d 'Search the catalogs'

complete -c ardvel-cli -n "__fish_seen_subcommand_from ls" -a "'My Catalogs' (__ardvel_cli_volumes | string replace -r '\$' ':\\\\\\\\')"
complete -c ardvel-cli -n "__fish_seen_subcommand_from dump media" -F
complete -c ardvel-cli -n "__fish_seen_subcommand_from catalog" -a '(__fish_complete_directories)'
complete -c ardvel-cli -n "__fish_seen_subcommand_from catalog" -l name -x -d 'Volume name'
complete -c ardvel-cli -n "__fish_seen_subcommand_from catalog" -l yes -d 'Answer Yes to questions'
complete -c ardvel-cli -n "__fish_seen_subcommand_from catalog" -l no -d 'Answer No to questions'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l in -x -a "All (__ardvel_cli_volumes)" -d 'Where to look'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l artist -x -d 'Part of the MP3 artist'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l title -x -d 'Part of the MP3 title'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l months -x -d 'Modified within the last N months'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l days -x -d 'Modified within the last N days'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l between -x -d 'Modified between two dates'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l at-least -x -d 'At least this many KB'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l at-most -x -d 'At most this many KB'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l report -r -F -d 'Save the results as a report'
