#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang 14, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs them over their corpus.
#   scripts/fuzz.sh build           only builds them
#   scripts/fuzz.sh ci              each target 20 s, as many at once as there are
#                                   processors; fails on any crash or broken invariant
#   scripts/fuzz.sh long SECONDS    each target SECONDS, one after the other; new inputs
#                                   go to build/fuzz/corpus/<target>, logs to build/fuzz/logs
#   scripts/fuzz.sh merge           adds the inputs of long runs that reach new edges to
#                                   tests/fuzz/corpus/<target>
# FUZZ_TARGETS="fuzz_row" limits the run to the targets named.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(${FUZZ_TARGETS:-fuzz_run fuzz_row fuzz_fields fuzz_named fuzz_json})
bin=build/fuzz/tests/fuzz

scripts/deps.sh clang-14 libclang-rt-14-dev

build() {
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "${FUZZ_JOBS:-2}"
}

# run TARGET SECONDS CORPUS_DIR LOG: one target for a fixed time; fails on a finding.
run() {
    local target=$1 seconds=$2 corpus=$3 log=$4
    mkdir -p "$corpus" build/fuzz/artifacts
    if ! "$bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$target-" \
        "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        grep -a -E 'INVARIANT|detail|ERROR|SUMMARY|runtime error|Test unit written' "$log" >&2 || true
        echo "fuzz: $target found a fault; the input is in build/fuzz/artifacts/" >&2
        return 1
    fi
    local executions coverage
    executions=$(grep -a -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')
    coverage=$(grep -a -E '^#[0-9]+' "$log" | tail -1 | grep -a -o 'cov: [0-9]* ft: [0-9]*')
    echo "fuzz: $target: $executions executions in ${seconds} s, $coverage"
}

# run_all SECONDS CORPUS_ROOT LOG_ROOT [PARALLEL]: every target, PARALLEL (default 1)
# at a time, each on one processor; fails when any finds a fault.
run_all() {
    local target failed=0 parallel=${4:-1} running=0
    for target in "${targets[@]}"; do
        if ((running == parallel)); then
            wait -n || failed=1
            running=$((running - 1))
        fi
        run "$target" "$1" "$2/$target" "$3/$target.log" &
        running=$((running + 1))
    done
    while ((running > 0)); do
        wait -n || failed=1
        running=$((running - 1))
    done
    return "$failed"
}

case "${1:-}" in
build)
    build
    ;;
ci)
    build
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    # A processor each: all five side by side on two processors for 50 s ran
    # 43 % fewer inputs in all than this.
    run_all "${FUZZ_SECONDS:-20}" "$scratch" "$scratch" "$(nproc)"
    ;;
long)
    seconds=${2:?usage: scripts/fuzz.sh long SECONDS}
    build
    mkdir -p build/fuzz/logs
    run_all "$seconds" build/fuzz/corpus build/fuzz/logs
    ;;
merge)
    build
    for target in "${targets[@]}"; do
        [[ -d build/fuzz/corpus/$target ]] || continue
        # Edges only (no hit counts), which keeps the committed corpus small.
        "$bin/$target" -merge=1 -use_counters=0 "tests/fuzz/corpus/$target" "build/fuzz/corpus/$target" \
            >"build/fuzz/logs/$target-merge.log" 2>&1
        echo "fuzz: $target: $(ls "tests/fuzz/corpus/$target" | wc -l) files in the corpus"
    done
    ;;
*)
    sed -n '2,10p' "$0" >&2
    exit 2
    ;;
esac
