#!/usr/bin/env bash
# Builds the fuzz targets natively with clang into build/fuzz and runs them.
#   fuzz.sh run [SECONDS]   each target SECONDS (default 10) from its committed corpus; new inputs are
#                           kept in build/fuzz/work/<target>, crashing ones in build/fuzz/findings.
#                           Ends with "fuzz-execs N" and "fuzz-findings N"; fails on a finding.
#   fuzz.sh regress         each target once over every file of its committed corpus.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$ROOT/build/fuzz
mode=${1:-run}
seconds=${2:-10}
[[ $seconds =~ ^[0-9]+$ ]] || { echo "fuzz: SECONDS must be a whole number" >&2; exit 2; }

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    CXX=clang++ cmake -S "$ROOT/tests/fuzz" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD" -j "$(nproc)" >/dev/null

# Leaks and undefined behaviour are findings too; a hang is one after 10 s.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
execs=0
findings=0
while read -r target corpus; do
    [ -n "$target" ] || continue
    inputs=("$corpus"/*)
    [ -e "${inputs[0]}" ] || { echo "fuzz: $target has no inputs in $corpus" >&2; status=1; continue; }
    if [ "$mode" = regress ]; then
        if "$BUILD/$target" -timeout=10 "${inputs[@]}" >"$BUILD/$target.log" 2>&1; then
            echo "$target: ${#inputs[@]} inputs"
        else
            echo "$target: FAILED on its corpus"; tail -n 30 "$BUILD/$target.log"; status=1
        fi
        continue
    fi
    mkdir -p "$BUILD/work/$target" "$BUILD/findings"
    before=$(find "$BUILD/findings" -name "$target-*" | wc -l)
    "$BUILD/$target" -max_total_time="$seconds" -timeout=10 -max_len=8192 -print_final_stats=1 \
        -artifact_prefix="$BUILD/findings/$target-" "$BUILD/work/$target" "$corpus" >"$BUILD/$target.log" 2>&1 || true
    after=$(find "$BUILD/findings" -name "$target-*" | wc -l)
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$BUILD/$target.log" | tail -n 1)
    n=${n:-0}
    echo "$target: $n executions, $((after - before)) findings"
    [ "$after" -eq "$before" ] || tail -n 30 "$BUILD/$target.log"
    execs=$((execs + n))
    findings=$((findings + after - before))
done <"$BUILD/targets.txt"

if [ "$mode" = run ]; then
    echo "fuzz-execs $execs"
    echo "fuzz-findings $findings"
    [ "$findings" -eq 0 ] || status=1
fi
exit $status
