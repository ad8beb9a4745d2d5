#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, in build-fuzz/ or FUZZ_BUILD) and runs each of them for a bounded
# time, printing one line per harness: executions, coverage, crashes. A crash, leak, timeout or
# out-of-memory input is kept under fuzz/regressions/<harness>/, which the unit tests replay,
# and makes the script fail.
#
#   scripts/fuzz.sh [-t SECONDS] [-j PARALLEL] [HARNESS ...]
#
# -t   time per harness (default 60, or FUZZ_SECONDS)
# -j   harnesses run at once (default 1)
# Without names every harness runs. Inputs found on the way go to build-fuzz/corpus/<harness>
# (FUZZ_WORK names another directory for them and the logs); the starting inputs in fuzz/corpus/<harness>
# stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
parallel=1
while getopts "t:j:" opt; do
    case "$opt" in
    t) seconds="$OPTARG" ;;
    j) parallel="$OPTARG" ;;
    *) echo "usage: scripts/fuzz.sh [-t SECONDS] [-j PARALLEL] [HARNESS ...]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

all=(swim_time reaction_time point_table language ini_settings encrypted_settings xml
     document_settings stream_reader zip_entry cli_options)
harnesses=("$@")
[ ${#harnesses[@]} -eq 0 ] && harnesses=("${all[@]}")
for h in "${harnesses[@]}"; do
    if [[ ! " ${all[*]} " == *" $h "* ]]; then
        echo "fuzz.sh: unknown harness '$h' (one of: ${all[*]})" >&2
        exit 2
    fi
done

build="${FUZZ_BUILD:-build-fuzz}"
if [ ! -f "$build/build.ninja" ]; then
    # -O1 with line tables only: the harnesses run nearly as fast as at -O2, build in far less
    # time, and their reports still name files and lines.
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
        -DCMAKE_CXX_COMPILER=clang++ -DMARQOR_FUZZ=ON >/dev/null
fi
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build "$build" -j"${FUZZ_BUILD_JOBS:-$(nproc)}" --target "${targets[@]}" >/dev/null

workdir="${FUZZ_WORK:-$build}"
mkdir -p "$workdir"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

run_one() {
    local h="$1"
    local work="$workdir/corpus/$h" artifacts="$workdir/artifacts/$h" log="$workdir/logs/$h.log"
    mkdir -p "$work" "$artifacts" "$(dirname "$log")"
    rm -f "$artifacts"/*
    local start=$SECONDS
    # The harness's scratch files go to a temporary directory of its own.
    TMPDIR="$(mktemp -d)" "$build/bin/fuzz_$h" -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "$work" "fuzz/corpus/$h" >"$log" 2>&1 || true
    local took=$((SECONDS - start))
    local execs cov ft crashes
    execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1 || true)"
    cov="$( (grep -o 'cov: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)"
    ft="$( (grep -o 'ft: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)"
    crashes=0
    for f in "$artifacts"/*; do
        [ -e "$f" ] || continue
        crashes=$((crashes + 1))
        mkdir -p "fuzz/regressions/$h"
        cp "$f" "fuzz/regressions/$h/"
    done
    printf '%-20s executions %10s  coverage %6s  features %6s  crashes %d  (%ds)\n' \
        "$h" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$crashes" "$took"
    if [ "$crashes" -gt 0 ]; then
        echo "  kept under fuzz/regressions/$h/; the log is $(realpath "$log")" >&2
        return 1
    fi
}

failed=0
running=0
for h in "${harnesses[@]}"; do
    run_one "$h" >"$workdir/logs.$h.line" 2>&1 &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
for h in "${harnesses[@]}"; do
    cat "$workdir/logs.$h.line"
    rm -f "$workdir/logs.$h.line"
done
exit "$failed"
