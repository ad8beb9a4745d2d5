#!/usr/bin/env bash
# Times whole runs of marqor print-table (process wall time and peak memory, the median of five
# runs each): the full individual printout (1100 down to 1) as PDF and as HTML, and the default
# range (800 to 1100) as PDF. Usage: bench/time_print_table.sh [build directory]
set -euo pipefail
marqor="${1:-build}/bin/marqor"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

run() {
    local name="$1"
    shift
    local runs=()
    for _ in 1 2 3 4 5; do
        /usr/bin/time -f "%e %M" -o "$work/time" "$marqor" print-table "$@" --force >/dev/null
        runs+=("$(cat "$work/time")")
    done
    printf '%s\n' "${runs[@]}" | sort -n | sed -n 3p |
        awk -v name="$name" '{ printf "%-28s %5.2f s  %6.1f MB\n", name, $1, $2 / 1024 }'
}

run "full range, PDF" --from 1 --to 1100 --pdf "$work/full.pdf"
run "full range, HTML" --from 1 --to 1100 --html "$work/full.htm"
run "default range, PDF" --pdf "$work/default.pdf"
