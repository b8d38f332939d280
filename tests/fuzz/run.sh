#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (the "fuzz" presets, in build-fuzz/) and runs each for SECONDS.
#
#   tests/fuzz/run.sh SECONDS BUILD_DIR   (BUILD_DIR: the presets' folder, build-fuzz)
#
# Each harness starts from its seed corpus (tests/fuzz/corpus/NAME) and the corpus it grew in earlier
# runs (BUILD_DIR/corpus/NAME). An input that crashes a harness or breaks one of its properties is kept
# in BUILD_DIR/artifacts/ and the run fails. One line a harness tells the executions and what was found.
set -euo pipefail
seconds=${1:?usage: run.sh SECONDS BUILD_DIR}
build_dir=${2:?usage: run.sh SECONDS BUILD_DIR}
source_dir=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
seeds=$source_dir/tests/fuzz/corpus

(cd "$source_dir" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz)

mkdir -p "$build_dir/artifacts"
failed=0
for name in commandline tips remindertime; do
    harness=$build_dir/tests/fuzz/fuzz_$name
    corpus=$build_dir/corpus/$name
    log=$build_dir/fuzz_$name.log
    mkdir -p "$corpus"
    status=0
    "$harness" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build_dir/artifacts/$name-" \
        "$corpus" "$seeds/$name" >"$log" 2>&1 || status=$?
    executions=$(awk '/stat::number_of_executed_units/ { print $NF }' "$log")
    if [[ $status -eq 0 ]]; then
        printf 'fuzz %-13s %10s executions in %s s, corpus %s inputs, no crash\n' \
            "$name" "${executions:-?}" "$seconds" "$(find "$corpus" -type f | wc -l)"
    else
        printf 'fuzz %-13s FAILED (exit status %s) after %s executions; input kept in %s/artifacts/:\n' \
            "$name" "$status" "${executions:-?}" "$build_dir"
        grep -m 20 -E 'ERROR|property broken|input:|SUMMARY|runtime error' "$log" || tail -n 20 "$log"
        failed=$((failed + 1))
    fi
done
[[ $failed -eq 0 ]]
