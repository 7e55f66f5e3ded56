#!/usr/bin/env bash
# Updating an unchanged volume against cataloguing the same tree, warm cache,
# each with its whole work (cataloguing: scan, tags, save; updating: load the
# old catalog, scan, compare, save).
#
#   bench/update_bench.sh [BUILD_DIR] [RUNS]
#
# Trees: generated ones of ARDVEL_BENCH_ENTRIES (200000) entries, plain and
# with every tenth file an MP3 file (made by make_tree.py under
# ARDVEL_BENCH_DIR, /tmp/ardvel-bench, and reused). Target: an update costs
# at most 1.1 times cataloguing; on the MP3 tree it reads no tags again.
set -euo pipefail

entries=${ARDVEL_BENCH_ENTRIES:-200000}
# shellcheck source=bench/bench_common.sh
. "$(dirname "$0")/bench_common.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config

run_ms() {
    local t0; t0=$(now)
    "$@" > /dev/null 2> "$work/err" || { cat "$work/err" >&2; }
    echo $(( ($(now) - t0) / 1000000 ))
}

for tree in "$base/plain-$entries" "$base/mp3-$entries"; do
    mkdir -p "$work/catalogs"
    "$cli" --catalog-folder "$work/catalogs" catalog "$tree" --name bench --yes > /dev/null   # warm the cache
    c=(); u=()
    for _ in $(seq "$runs"); do
        rm -f "$work/catalogs"/*.arv
        c+=("$(run_ms "$cli" --catalog-folder "$work/catalogs" catalog "$tree" --name bench --yes)")
        u+=("$(run_ms "$cli" --catalog-folder "$work/catalogs" update bench "$tree")")
    done
    cm=$(median "${c[@]}"); um=$(median "${u[@]}")
    printf '%-34s catalog %6d ms  update %6d ms  update/catalog %.2f   (catalog: %s; update: %s)\n' \
        "$tree" "$cm" "$um" "$(echo "$um / $cm" | bc -l)" "${c[*]}" "${u[*]}"
    rm -rf "$work/catalogs"
done
