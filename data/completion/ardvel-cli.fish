# fish completion for ardvel-cli

function __ardvel_cli_volumes
    set -l tokens (commandline -opc)
    set -l folder
    set -l i (contains -i -- --catalog-folder $tokens)
    and set folder --catalog-folder $tokens[(math $i + 1)]
    $tokens[1] $folder volumes 2>/dev/null
end

set -l commands volumes ls dump media catalog search duplicates copies export import diff update
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
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a duplicates -d 'What is stored twice'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a copies -d 'The other records with the key of one file'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a export -d 'One volume as CSV, JSON or ncdu'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a import -d 'A new volume from an ncdu export'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a diff -d 'The changes from a volume to a folder or volume'
complete -c ardvel-cli -n "not __fish_seen_subcommand_from $commands" -a update -d 'Scan a volume again and save the changes'

complete -c ardvel-cli -n "__fish_seen_subcommand_from volumes ls dump search duplicates copies diff" -l format -x -a 'tsv csv json jsonl' -d 'Output format'
complete -c ardvel-cli -n "__fish_seen_subcommand_from volumes ls dump search duplicates copies diff" -s 0 -l null -d 'Paths ended by NUL'
complete -c ardvel-cli -n "__fish_seen_subcommand_from ls copies" -a "'My Catalogs' (__ardvel_cli_volumes | string replace -r '\$' ':\\\\\\\\')"
complete -c ardvel-cli -n "__fish_seen_subcommand_from dump media" -F
complete -c ardvel-cli -n "__fish_seen_subcommand_from catalog" -a '(__fish_complete_directories)'
complete -c ardvel-cli -n "__fish_seen_subcommand_from catalog" -l name -x -d 'Volume name'
complete -c ardvel-cli -n "__fish_seen_subcommand_from catalog" -l yes -d 'Answer Yes to questions'
complete -c ardvel-cli -n "__fish_seen_subcommand_from catalog" -l no -d 'Answer No to questions'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search duplicates" -l in -x -a "All (__ardvel_cli_volumes)" -d 'Where to look'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l artist -x -d 'Part of the MP3 artist'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l title -x -d 'Part of the MP3 title'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l months -x -d 'Modified within the last N months'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l days -x -d 'Modified within the last N days'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l between -x -d 'Modified between two dates'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l at-least -x -d 'At least this many KB'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l at-most -x -d 'At most this many KB'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l report -r -F -d 'Save the results as a report'
complete -c ardvel-cli -n "__fish_seen_subcommand_from duplicates copies" -l by -x -a 'name+size name+size+date size+date name' -d 'What makes records the same'
complete -c ardvel-cli -n "__fish_seen_subcommand_from duplicates" -l min-size -x -d 'Smallest size in KB'
complete -c ardvel-cli -n "__fish_seen_subcommand_from duplicates" -l folders -d 'Compare folders'
complete -c ardvel-cli -n "__fish_seen_subcommand_from export" -a '(__ardvel_cli_volumes)'
complete -c ardvel-cli -n "__fish_seen_subcommand_from export" -l format -x -a 'csv json jsonl ncdu' -d 'Output format'
complete -c ardvel-cli -n "__fish_seen_subcommand_from export" -s o -l output -r -F -d 'Write to FILE'
complete -c ardvel-cli -n "__fish_seen_subcommand_from import" -F
complete -c ardvel-cli -n "__fish_seen_subcommand_from import" -l name -x -d 'Volume name'
complete -c ardvel-cli -n "__fish_seen_subcommand_from import" -l from -x -a ncdu -d 'Export format'
complete -c ardvel-cli -n "__fish_seen_subcommand_from import" -l yes -d 'Answer Yes to questions'
complete -c ardvel-cli -n "__fish_seen_subcommand_from import" -l no -d 'Answer No to questions'
complete -c ardvel-cli -n "__fish_seen_subcommand_from diff update" -a '(__ardvel_cli_volumes) (__fish_complete_directories)'
complete -c ardvel-cli -n "__fish_seen_subcommand_from diff" -l volume -x -a '(__ardvel_cli_volumes)' -d 'Compare with another volume'
complete -c ardvel-cli -n "__fish_seen_subcommand_from diff" -l exit-code -d 'Exit 1 when there are changes'
complete -c ardvel-cli -n "__fish_seen_subcommand_from update" -l dry-run -d 'Print the changes, write nothing'
complete -c ardvel-cli -n "__fish_seen_subcommand_from search" -l ignore-accents -d 'Match letters without their accents'
