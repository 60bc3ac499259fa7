#!/usr/bin/env bash
# Install throughput of Setup.exe's copy on the sample disc scaled to 1 GiB, against `cp -r` of the
# same files in the same run. Best of three rounds each; ends with `copy-ratio R` (Setup.exe's
# throughput divided by cp's). For scale it also times dd with 1 MiB blocks, the same one read and
# one write per block that Setup.exe does, where cp copies inside the kernel. Run after
# `./run build`; starts the Wine harness unless one is set up.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$ROOT"
BIN=${BENCH_BUILD:-build/win64}
WORK=build/bench-copy
ROUNDS=3
for file in "$BIN/Setup.exe" "$BIN/copy_bench.exe"; do
    [ -f "$file" ] || { echo "copy.sh: $file is missing; run ./run build first" >&2; exit 1; }
done

started=
if [ -z "${WINEPREFIX:-}" ]; then
    source tools/wine-harness.sh
    harness_start
    started=1
fi
finish() {
    rm -rf "$WORK"
    if [ -n "$started" ]; then harness_stop; fi
}
trap finish EXIT

winpath() { printf 'Z:%s' "$(printf '%s' "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr '/' '\\')"; }
now() { date +%s.%N; }

# The disc, and beside it the files that an installation copies, linked, for cp.
mapfile -t entries < <(python3 tools/make_disc.py --bench "$WORK/disc" --exe "$BIN/Setup.exe" --bin "$BIN")
rm -rf "$WORK/cp-source" && mkdir -p "$WORK/cp-source"
bytes=0
for entry in "${entries[@]}"; do
    mkdir -p "$WORK/cp-source/$(dirname "$entry")"
    ln "$WORK/disc/$entry" "$WORK/cp-source/$entry"
    bytes=$((bytes + $(stat -c %s "$WORK/disc/$entry")))
done
cat "$WORK/cp-source"/* "$WORK/cp-source"/data/* "$WORK/cp-source"/data/sub/* >/dev/null 2>&1 || true

smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a + 0 < b + 0) ? a : b }'; }
best_engine= best_cp= best_dd=
for round in $(seq "$ROUNDS"); do
    rm -rf "$WORK/out" && mkdir -p "$WORK/out/engine" && sync
    line=$("$WINE64" "$BIN/copy_bench.exe" "$(winpath "$WORK/disc")" "$(winpath "$WORK/out/engine")\\MihonGame" | tr -d '\r')
    engine=${line#seconds }
    rm -rf "$WORK/out" && mkdir -p "$WORK/out" && sync
    start=$(now)
    cp -r "$WORK/cp-source" "$WORK/out/cp"
    cp_seconds=$(awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.4f", a - b }')
    rm -rf "$WORK/out" && mkdir -p "$WORK/out" && sync
    start=$(now)
    for entry in "${entries[@]}"; do dd if="$WORK/cp-source/$entry" of="$WORK/out/${entry//\//_}" bs=1M status=none; done
    dd_seconds=$(awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.4f", a - b }')
    printf 'round %d: Setup.exe %.3f s, cp -r %.3f s, dd %.3f s\n' "$round" "$engine" "$cp_seconds" "$dd_seconds"
    best_dd=$(smaller "$dd_seconds" "$best_dd")
    best_engine=$(smaller "$engine" "$best_engine")
    best_cp=$(smaller "$cp_seconds" "$best_cp")
done

awk -v bytes="$bytes" -v e="$best_engine" -v c="$best_cp" -v d="$best_dd" 'BEGIN {
    mib = bytes / 1048576
    printf "\n%-12s %10s %10s %12s\n", "copier", "MiB", "seconds", "MiB/s"
    printf "%-12s %10.1f %10.3f %12.1f\n", "Setup.exe", mib, e, mib / e
    printf "%-12s %10.1f %10.3f %12.1f\n", "cp -r", mib, c, mib / c
    printf "%-12s %10.1f %10.3f %12.1f\n", "dd bs=1M", mib, d, mib / d
    printf "\ncopy-ratio %.2f\n", (mib / e) / (mib / c)
}'
