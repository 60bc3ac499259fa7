#!/usr/bin/env bash
# The shipped Setup.exe's size, and its start-up time and committed memory with the main menu up,
# each against a bare Win32 program showing the same window (tools/bench/BareWindow.cpp), measured
# by turns in this run. Called by `./run bench` inside the Wine harness; BENCH_STARTUP_RUNS starts of
# each (default 20).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=${BENCH_BUILD:?run through ./run bench}
RUNS=${BENCH_STARTUP_RUNS:-20}
: "${WINE64:?run inside the Wine harness (tools/wine-harness.sh)}"
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

shipped=$ROOT/build/win32/Setup.exe
size=$(stat -c %s "$shipped")
echo "size: build/win32/Setup.exe $size bytes; the bare program $(stat -c %s "$BUILD/bare_window.exe") bytes"

disc=$BUILD/bench-disc
rm -rf "$disc"
python3 "$ROOT/tools/make_disc.py" --out "$disc" --exe "$BUILD/Setup.exe" --bin "$BUILD" >/dev/null
figures=$("$WINE64" "$BUILD/startup_bench.exe" "$RUNS" "$(winpath "$disc")" "$(winpath "$disc/Setup.exe")" \
    "$(winpath "$BUILD/bare_window.exe")" | tr -d '\r')
figure() { awk -v name="$1" '$1 == name { print $2 }' <<<"$figures"; }
ms=$(figure startup-ms-program); bare_ms=$(figure startup-ms-baseline)
kib=$(figure commit-kib-program); bare_kib=$(figure commit-kib-baseline)
echo "start-up to the visible main window ($(basename "$BUILD"), median of $RUNS starts each, by turns):" \
    "Setup.exe $ms ms, the bare program $bare_ms ms"
echo "committed memory with the main window up: Setup.exe $kib KiB, the bare program $bare_kib KiB"
echo "size-bytes $size"
awk -v a="$ms" -v b="$bare_ms" 'BEGIN { printf "startup-ratio %.2f\n", a / b }'
awk -v a="$kib" -v b="$bare_kib" 'BEGIN { printf "memory-delta-kib %d\n", a - b }'
