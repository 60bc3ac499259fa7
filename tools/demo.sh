#!/usr/bin/env bash
# Walks through Setup.exe on the sample disc with the end-to-end driver and leaves one picture per
# step. Called by `./run demo` inside the Wine harness when there is no display; the walk itself is
# e2e_demo.exe. DEMO_BUILD, DEMO_DISC and DEMO_PICTURES override build/win64, build/disc, build/demo.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${DEMO_BUILD:-$ROOT/build/win64}
DISC=${DEMO_DISC:-$ROOT/build/disc}
PICTURES=${DEMO_PICTURES:-$ROOT/build/demo}
: "${WINE64:?run inside the Wine harness (tools/wine-harness.sh)}"

winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

for need in "$BUILD/e2e_demo.exe" "$DISC/Setup.exe" "$DISC/Setup.ini"; do
    [ -e "$need" ] || { echo "demo: $need is missing" >&2; exit 2; }
done
mkdir -p "$PICTURES"
# The walk prints code page 932.
status=0
timeout 300 "$WINE64" "$BUILD/e2e_demo.exe" "$(winpath "$DISC")" "$(winpath "$PICTURES")" \
    | iconv -f CP932 -t UTF-8 || status=$?
exit "$status"
