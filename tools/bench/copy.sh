#!/usr/bin/env bash
# Where Setup.exe's copy stands, each figure a ratio against a baseline measured in the same run:
#   floor-ratio  the copy engine in-process against the plain 1 MiB read/write loop with one message
#                pass per block that its rules set as the floor (floor_bench.exe, same files)
#   copy-ratio   an installation of the 1 GiB bench disc (start button to the completion box)
#                against `cp -r` of the same files: throughputs
#   nsis-ratio   the same installation against an NSIS installer of the same files (uncompressed,
#                silent), net of an empty NSIS installer's run: above 1 means Setup.exe is faster
#   files-ratio  the same against NSIS on a disc of 1,000 files of 1,000 bytes (and one of 2 MiB)
# BENCH_COPY_ROUNDS rounds (default 5); in each the contenders run in turn, the order reversed every
# other round; each figure is the median of the rounds' own ratios, printed with their min and max.
# Called by `./run bench` inside the Wine harness with BENCH_BUILD the build to measure.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$ROOT"
BIN=${BENCH_BUILD:?run through ./run bench}
: "${WINE64:?run inside the Wine harness (tools/wine-harness.sh)}"
ROUNDS=${BENCH_COPY_ROUNDS:-5}
WORK=build/bench-copy
for file in "$BIN/Setup.exe" "$BIN/copy_bench.exe" "$BIN/floor_bench.exe"; do
    [ -f "$file" ] || { echo "copy.sh: $file is missing; run ./run build first" >&2; exit 1; }
done
command -v makensis >/dev/null || { echo "copy.sh: makensis is missing; run ./run deps" >&2; exit 1; }
trap 'rm -rf "$WORK"' EXIT

winpath() { printf 'Z:%s' "$(printf '%s' "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr '/' '\\')"; }
now() { date +%s.%N; }
since() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.4f", a - b }'; }
# median, min and max of the numbers given
stats() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f %.3f %.3f", m, v[1], v[NR] }'; }
report() { # name values...
    local name=$1 s
    shift
    s=($(stats "$@"))
    echo "$name per round: median ${s[0]}, min ${s[1]}, max ${s[2]} (${*})"
    figures+=("$name ${s[0]}")
}

# An NSIS installer beside the disc's files that copies the listed entries into its folder, as
# Setup.exe does; with no entries, the empty installer whose run is taken off.
nsis() { # disc out entries...
    local disc=$1 out entry
    out=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
    shift 2
    {
        printf 'Unicode true\nTarget amd64-unicode\nSetCompress off\nCRCCheck off\nSilentInstall silent\n'
        printf 'RequestExecutionLevel user\nOutFile "%s"\nInstallDir "$TEMP\\bench"\nSection\n' "$out"
        printf 'SetOutPath "$INSTDIR"\n'
        for entry in "$@"; do printf 'CopyFiles /SILENT "$EXEDIR\\%s" "$INSTDIR"\n' "${entry//\//\\}"; done
        printf 'SectionEnd\n'
    } > "$out.nsi"
    makensis -V1 -INPUTCHARSET UTF8 "$out.nsi" >/dev/null
}

# The discs, the files beside them linked for cp, and their installers.
rm -rf "$WORK" && mkdir -p "$WORK"
mapfile -t entries < <(python3 tools/make_disc.py --bench "$WORK/disc" --exe "$BIN/Setup.exe" --bin "$BIN")
mapfile -t many < <(python3 tools/make_disc.py --files-bench "$WORK/files" --exe "$BIN/Setup.exe" --bin "$BIN")
mkdir -p "$WORK/cp-source"
bytes=0
for entry in "${entries[@]}"; do
    mkdir -p "$WORK/cp-source/$(dirname "$entry")"
    ln "$WORK/disc/$entry" "$WORK/cp-source/$entry"
    bytes=$((bytes + $(stat -c %s "$WORK/disc/$entry")))
done
nsis "$WORK/disc" "$WORK/disc/nsis.exe" "${entries[@]}"
nsis "$WORK/disc" "$WORK/disc/empty.exe"
nsis "$WORK/files" "$WORK/files/nsis.exe" "${many[@]}"
cat "$WORK/disc"/* "$WORK/disc"/data/* "$WORK/disc"/data/sub/* "$WORK/files"/data/* >/dev/null 2>&1 || true
echo "bench disc: ${#entries[@]} files, $((bytes / 1048576)) MiB; many-files disc: ${#many[@]} files"

mkdir -p "$WORK/floor-out"
floor=$("$WINE64" "$BIN/floor_bench.exe" "$(winpath "$WORK/disc")" "$(winpath "$WORK/floor-out")" "$ROUNDS" |
    tr -d '\r')
echo "$floor" | grep '^round'
floors=($(awk '$1 == "round" { print $NF }' <<<"$floor"))

setup_run() { # disc -> seconds
    rm -rf "$WORK/out" && mkdir -p "$WORK/out" && sync
    local line
    line=$("$WINE64" "$BIN/copy_bench.exe" "$(winpath "$1")" "$(winpath "$WORK/out")\\MihonGame" | tr -d '\r')
    echo "${line#seconds }"
}
nsis_run() { # installer -> seconds, the whole process
    rm -rf "$WORK/out" && mkdir -p "$WORK/out/MihonGame" && sync
    local start
    start=$(now)
    "$WINE64" "$1" /S "/D=$(winpath "$WORK/out")\\MihonGame"
    since "$start"
}
cp_run() {
    rm -rf "$WORK/out" && mkdir -p "$WORK/out" && sync
    local start
    start=$(now)
    cp -r "$WORK/cp-source" "$WORK/out/cp"
    since "$start"
}

copies=() nsises=() fileses=()
for round in $(seq "$ROUNDS"); do
    order=(setup cp nsis empty fsetup fnsis)
    [ $((round % 2)) = 0 ] && order=(fnsis fsetup empty nsis cp setup)
    declare -A t=()
    for who in "${order[@]}"; do
        case $who in
            setup) t[$who]=$(setup_run "$WORK/disc") ;;
            cp) t[$who]=$(cp_run) ;;
            nsis) t[$who]=$(nsis_run "$WORK/disc/nsis.exe") ;;
            empty) t[$who]=$(nsis_run "$WORK/disc/empty.exe") ;;
            fsetup) t[$who]=$(setup_run "$WORK/files") ;;
            fnsis) t[$who]=$(nsis_run "$WORK/files/nsis.exe") ;;
        esac
    done
    printf 'round %d: Setup.exe %.3f s, cp -r %.3f s, NSIS %.3f s (empty %.3f s); many files: Setup.exe %.3f s, NSIS %.3f s\n' \
        "$round" "${t[setup]}" "${t[cp]}" "${t[nsis]}" "${t[empty]}" "${t[fsetup]}" "${t[fnsis]}"
    copies+=("$(awk -v c="${t[cp]}" -v s="${t[setup]}" 'BEGIN { printf "%.3f", c / s }')")
    nsises+=("$(awk -v n="${t[nsis]}" -v e="${t[empty]}" -v s="${t[setup]}" 'BEGIN { printf "%.3f", (n - e) / s }')")
    fileses+=("$(awk -v n="${t[fnsis]}" -v e="${t[empty]}" -v s="${t[fsetup]}" 'BEGIN { printf "%.3f", (n - e) / s }')")
    unset t
done

figures=()
echo
report floor-ratio "${floors[@]}"
report copy-ratio "${copies[@]}"
report nsis-ratio "${nsises[@]}"
report files-ratio "${fileses[@]}"
printf '%s\n' "${figures[@]}"
