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
echo "sha256: build/win32/Setup.exe $(sha256sum "$shipped" | cut -d' ' -f1)"
echo "sha256: $BUILD/Setup.exe $(sha256sum "$BUILD/Setup.exe" | cut -d' ' -f1)"

disc=$BUILD/bench-disc
rm -rf "$disc"
python3 "$ROOT/tools/make_disc.py" --out "$disc" --exe "$BUILD/Setup.exe" --bin "$BUILD" >/dev/null
figures=$("$WINE64" "$BUILD/startup_bench.exe" "$RUNS" "$(winpath "$disc")" "$(winpath "$disc/Setup.exe")" \
    "$(winpath "$BUILD/bare_window.exe")" | tr -d '\r')
figure() { awk -v name="$1" '$1 == name { print $2 }' <<<"$figures"; }
ms=$(figure startup-ms-program); bare_ms=$(figure startup-ms-baseline)
kib=$(figure commit-kib-program); bare_kib=$(figure commit-kib-baseline)
echo "start-up to the visible main window ($(basename "$BUILD"), $RUNS starts each, by turns, the order" \
    "alternating): Setup.exe $ms ms, the bare program $bare_ms ms (medians)"
echo "committed memory with the main window up: Setup.exe $kib KiB, the bare program $bare_kib KiB (medians)"
echo "startup-ratio per round: median $(figure startup-ratio-median), min $(figure startup-ratio-min)," \
    "max $(figure startup-ratio-max)"
echo "memory-delta-kib per round: median $(figure memory-delta-median), min $(figure memory-delta-min)," \
    "max $(figure memory-delta-max)"
echo "size-bytes $size"
echo "startup-ratio $(figure startup-ratio-median)"
echo "memory-delta-kib $(figure memory-delta-median)"
