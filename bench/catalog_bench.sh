#!/usr/bin/env bash
# Cataloguing speed: `ardvel-cli catalog` against `find DIR -printf` over the
# same trees in the same run, warm cache, scan and save together.
#
#   bench/catalog_bench.sh [BUILD_DIR] [RUNS]
#
# Trees: a generated one of ARDVEL_BENCH_ENTRIES (500000) entries, the same
# tree with every tenth file an MP3 file, and /usr. The generated trees are
# made once under ARDVEL_BENCH_DIR (/tmp/ardvel-bench) and reused.
# Targets: ardvel no slower than find; the MP3 tree at most 1.35 times the
# plain one.
set -euo pipefail

entries=${ARDVEL_BENCH_ENTRIES:-500000}
# shellcheck source=bench/bench_common.sh
. "$(dirname "$0")/bench_common.sh"

catalogs=$(mktemp -d)
trap 'rm -rf "$catalogs"' EXIT

time_find() {
    local t0; t0=$(now)
    find "$1" -printf '%s %T@ %p\n' > /dev/null 2>&1 || true
    echo $(( ($(now) - t0) / 1000000 ))
}
time_ardvel() {
    rm -rf "$catalogs"/*
    local t0; t0=$(now)
    "$cli" --catalog-folder "$catalogs" catalog "$1" --name bench --yes > /dev/null 2> "$catalogs.err" \
        || { cat "$catalogs.err" >&2; }
    echo $(( ($(now) - t0) / 1000000 ))
}

declare -A result
for tree in "$base/plain-$entries" "$base/mp3-$entries" /usr; do
    time_find "$tree" > /dev/null   # warm the cache
    time_ardvel "$tree" > /dev/null
    f=(); a=()
    for _ in $(seq "$runs"); do
        f+=("$(time_find "$tree")")
        a+=("$(time_ardvel "$tree")")
    done
    fm=$(median "${f[@]}"); am=$(median "${a[@]}")
    result[$tree]=$am
    count=$(find "$tree" -mindepth 1 2>/dev/null | wc -l)
    printf '%-32s %8d entries  find %6d ms  ardvel %6d ms  ardvel/find %.2f   (find: %s; ardvel: %s)\n' \
        "$tree" "$count" "$fm" "$am" "$(echo "$am / $fm" | bc -l)" "${f[*]}" "${a[*]}"
done
printf 'MP3 tree / plain tree (ardvel): %.2f\n' \
    "$(echo "${result[$base/mp3-$entries]} / ${result[$base/plain-$entries]}" | bc -l)"
rm -f "$catalogs.err"
