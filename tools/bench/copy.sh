#!/usr/bin/env bash
# Where Setup.exe's copy stands, each figure a ratio against a baseline measured in the same run:
#   floor-ratio  the copy engine in-process against the plain 1 MiB read/write loop with one message
#                pass per block that its rules set as the floor (floor_bench.exe, same files)
#   copy-ratio   an installation of the 1 GiB bench disc (start button to the completion box)
#                against `cp -r` of the same files: throughputs
#   nsis-ratio   the same installation against an NSIS installer of the same files (uncompressed,
#                silent) that finishes as Setup.exe does (Start-menu shortcuts, record, list entry
#                and uninstaller), net of an empty NSIS installer's run: above 1 means Setup.exe is
#                faster
#   nsis-copy-ratio  the same against an NSIS installer that only copies the files
#   files-ratio  as nsis-ratio, on a disc of 1,000 files of 1,000 bytes (and one of 2 MiB)
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
trap 'rm -rf "$WORK"; nsis_clean' EXIT

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
# Setup.exe does. With --job it also finishes as Setup.exe does: four Start-menu shortcuts, a record
# key, and an entry in the list of installed programs with its uninstaller (under names of its own,
# removed at the end). With no entries, the empty installer whose run is taken off.
NSIS_NAME="見本ゲーム NSIS"
nsis() { # [--job] disc out entries...
    local job=0 disc out entry
    [ "$1" = --job ] && { job=1; shift; }
    disc=$1
    out=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
    shift 2
    {
        printf 'Unicode true\nTarget amd64-unicode\nSetCompress off\nCRCCheck off\nSilentInstall silent\n'
        printf 'RequestExecutionLevel user\nOutFile "%s"\nInstallDir "$TEMP\\bench"\nSection\n' "$out"
        printf 'SetOutPath "$INSTDIR"\n'
        for entry in "$@"; do
            local folder=""
            [[ $entry == */* ]] && folder="\\${entry%/*}"
            printf 'CopyFiles /SILENT "$EXEDIR\\%s" "$INSTDIR%s"\n' "${entry//\//\\}" "${folder//\//\\}"
        done
        if [ $job = 1 ]; then
            local menu="\$SMPROGRAMS\\$NSIS_NAME" key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$NSIS_NAME"
            printf 'CreateDirectory "%s"\n' "$menu"
            printf 'CreateShortCut "%s\\%s.lnk" "$INSTDIR\\%s"\n' "$menu" 見本ゲーム game.exe "$menu" "見本ゲーム (GDI版)" \
                game_gdi.exe "$menu" お読み下さい お読み下さい.txt "$menu" アンインストールについて アンインストールについて.txt
            printf 'WriteRegStr HKCU "Software\\%s" "Dir" "$INSTDIR\\"\n' "$NSIS_NAME"
            printf 'WriteUninstaller "$INSTDIR\\uninstall.exe"\n'
            printf 'WriteRegStr HKCU "%s" "DisplayName" "%s"\n' "$key" "$NSIS_NAME"
            printf 'WriteRegStr HKCU "%s" "UninstallString" "$\\"$INSTDIR\\uninstall.exe$\\""\n' "$key"
        fi
        printf 'SectionEnd\n'
        [ $job = 1 ] && printf 'Section "Uninstall"\nSectionEnd\n'
    } > "$out.nsi"
    makensis -V1 -INPUTCHARSET UTF8 "$out.nsi" >/dev/null
}
nsis_clean() {
    "$WINE64" reg delete "HKCU\\Software\\$NSIS_NAME" /f >/dev/null 2>&1 || true
    "$WINE64" reg delete "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$NSIS_NAME" /f >/dev/null 2>&1 || true
    find "$WINEPREFIX/drive_c/users" -depth -name "$NSIS_NAME" -exec rm -rf {} + 2>/dev/null || true
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
nsis --job "$WORK/disc" "$WORK/disc/nsis.exe" "${entries[@]}"
nsis "$WORK/disc" "$WORK/disc/copy.exe" "${entries[@]}"
nsis "$WORK/disc" "$WORK/disc/empty.exe"
nsis --job "$WORK/files" "$WORK/files/nsis.exe" "${many[@]}"
# Read once, and written out before the first figure: making the discs leaves gigabytes to flush.
cat "$WORK/disc"/* "$WORK/disc"/data/* "$WORK/disc"/data/sub/* "$WORK/files"/data/* >/dev/null 2>&1 || true
sync
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

copies=() nsises=() ncopies=() fileses=()
for round in $(seq "$ROUNDS"); do
    order=(setup cp nsis ncopy empty fsetup fnsis)
    [ $((round % 2)) = 0 ] && order=(fnsis fsetup empty ncopy nsis cp setup)
    declare -A t=()
    for who in "${order[@]}"; do
        case $who in
            setup) t[$who]=$(setup_run "$WORK/disc") ;;
            cp) t[$who]=$(cp_run) ;;
            nsis) t[$who]=$(nsis_run "$WORK/disc/nsis.exe") ;;
            ncopy) t[$who]=$(nsis_run "$WORK/disc/copy.exe") ;;
            empty) t[$who]=$(nsis_run "$WORK/disc/empty.exe") ;;
            fsetup) t[$who]=$(setup_run "$WORK/files") ;;
            fnsis) t[$who]=$(nsis_run "$WORK/files/nsis.exe") ;;
        esac
    done
    printf 'round %d: Setup.exe %.3f s, cp -r %.3f s, NSIS %.3f s, copying only %.3f s (empty %.3f s); many files: Setup.exe %.3f s, NSIS %.3f s\n' \
        "$round" "${t[setup]}" "${t[cp]}" "${t[nsis]}" "${t[ncopy]}" "${t[empty]}" "${t[fsetup]}" "${t[fnsis]}"
    copies+=("$(awk -v c="${t[cp]}" -v s="${t[setup]}" 'BEGIN { printf "%.3f", c / s }')")
    nsises+=("$(awk -v n="${t[nsis]}" -v e="${t[empty]}" -v s="${t[setup]}" 'BEGIN { printf "%.3f", (n - e) / s }')")
    ncopies+=("$(awk -v n="${t[ncopy]}" -v e="${t[empty]}" -v s="${t[setup]}" 'BEGIN { printf "%.3f", (n - e) / s }')")
    fileses+=("$(awk -v n="${t[fnsis]}" -v e="${t[empty]}" -v s="${t[fsetup]}" 'BEGIN { printf "%.3f", (n - e) / s }')")
    unset t
done

figures=()
echo
report floor-ratio "${floors[@]}"
report copy-ratio "${copies[@]}"
report nsis-ratio "${nsises[@]}"
report nsis-copy-ratio "${ncopies[@]}"
report files-ratio "${fileses[@]}"
printf '%s\n' "${figures[@]}"
