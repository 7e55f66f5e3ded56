# Shared by the shell benchmarks; sourced after `entries` has its default.
#   Sets here, build, runs, cli, base; makes the generated trees
#   $base/plain-$entries and $base/mp3-$entries once (make_tree.py) and
#   reuses them; defines now (ns) and median.

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
runs=${2:-3}
cli=$build/src/cli/ardvel-cli
base=${ARDVEL_BENCH_DIR:-/tmp/ardvel-bench}

[ -x "$cli" ] || { echo "no ardvel-cli at $cli" >&2; exit 1; }
mkdir -p "$base"
for kind in plain mp3; do
    if [ ! -e "$base/$kind-$entries.done" ]; then
        rm -rf "$base/$kind-$entries"
        flag=""; [ "$kind" = mp3 ] && flag="--mp3"
        python3 "$here/make_tree.py" "$base/$kind-$entries" --entries "$entries" $flag
        touch "$base/$kind-$entries.done"
    fi
done

now() { date +%s%N; }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
