#!/usr/bin/env bash
# Where Setup.exe's copy stands, each figure a ratio against a baseline measured in the same run:
#   floor-ratio  the copy engine in-process against the plain 1 MiB read/write loop with one message
#                pass per block that its rules set as the floor (floor_bench.exe, same files)
#   copy-ratio   an installation of the 1 GiB bench disc (start button to the completion box)
#                against `cp -r` of the same files: throughputs
#   nsis-copy-ratio  the same installation against an NSIS installer (uncompressed, silent, the stub
#                of the measured build's bitness) that copies the files from the disc folder with
#                CopyFiles, as Setup.exe does, and finishes as Setup.exe does (Start-menu shortcuts,
#                record, list entry and uninstaller), net of an empty NSIS installer's run: above 1
#                means Setup.exe is faster. nsis-ratio is its former name, kept.
#   nsis-file-ratio  the same against an NSIS installer that carries the files inside itself
#                (`File /r`, its CRC check on as NSIS ships it)
#   nsis-copy-only-ratio, nsis-file-only-ratio  the same two with NSIS only copying, no finishing
#   files-ratio, files-file-ratio  nsis-copy-ratio and nsis-file-ratio on a disc of 1,000 files of
#                1,000 bytes (and one of 2 MiB); files-ms-* the milliseconds per file there of
#                Setup.exe, each NSIS form and `cp -r`, files-first-ms Setup.exe's time from the
#                start button to its first file
#   slow-rounds  in how many rounds the 1 MiB floor loop took more than twice as long as a 64 KiB
#                loop of the same files: this machine sometimes writes 1 MiB blocks about ten times
#                slower, and that slows whichever 1 MiB copier it falls on
# BENCH_COPY_ROUNDS rounds (default 9); in each the contenders run in turn, the order reversed every
# other round. Each figure is the median of the rounds' own ratios, printed with their min and max,
# and as NAME-best the same ratio of the contenders' fastest rounds (interference only ever slows a
# run down, and the slow mode can fall on either contender of a round).
# Called by `./run bench` inside the Wine harness with BENCH_BUILD the build to measure.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$ROOT"
BIN=${BENCH_BUILD:?run through ./run bench}
: "${WINE64:?run inside the Wine harness (tools/wine-harness.sh)}"
ROUNDS=${BENCH_COPY_ROUNDS:-9}
WORK=build/bench-copy
for file in "$BIN/Setup.exe" "$BIN/copy_bench.exe" "$BIN/floor_bench.exe"; do
    [ -f "$file" ] || { echo "copy.sh: $file is missing; run ./run build first" >&2; exit 1; }
done
command -v makensis >/dev/null || { echo "copy.sh: makensis is missing; run ./run deps" >&2; exit 1; }
trap 'rm -rf "$WORK"; nsis_clean' EXIT

# Wine reports on standard error each time a program asks for the volume of Z: (the free space, the
# NSIS stub): noise in the bench's output.
quiet() { "$@" 2> >(grep -v 'FS volume label' >&2); }
winpath() { printf 'Z:%s' "$(printf '%s' "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr '/' '\\')"; }
now() { date +%s.%N; }
since() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.4f", a - b }'; }
calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }
# median, min and max of the numbers given
stats() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f %.3f %.3f", m, v[1], v[NR] }'; }
least() { stats "$@" | cut -d' ' -f2; }
report() { # name best values...
    local name=$1 best=$2 s
    shift 2
    s=($(stats "$@"))
    echo "$name per round: median ${s[0]}, min ${s[1]}, max ${s[2]} (${*}); of the fastest rounds $best"
    figures+=("$name ${s[0]}" "$name-best $best")
}

# The NSIS stub of the measured build's bitness, read from its PE header.
case $(od -An -tx2 -j "$(($(od -An -tu4 -j 60 -N4 "$BIN/Setup.exe") + 4))" -N2 "$BIN/Setup.exe" | tr -d ' ') in
    014c) STUB=x86-unicode ;;
    8664) STUB=amd64-unicode ;;
    *) echo "copy.sh: $BIN/Setup.exe is neither i686 nor x86_64" >&2; exit 1 ;;
esac

# An NSIS installer that copies the listed entries of the disc into its folder: with --copy by
# CopyFiles from the folder it runs from (it must be saved in the disc), with --file from inside
# itself (`File /r` of the folder given, made by makensis). Run with /FINISH, it also finishes as
# Setup.exe does: four Start-menu shortcuts, a record key, and an entry in the list of installed
# programs with its uninstaller (under names of its own, removed at the end). With no form, the
# empty installer whose run is taken off.
NSIS_NAME="見本ゲーム NSIS"
nsis() { # [--copy entries... | --file folder] -- out
    local form=none entries=() folder out entry
    case $1 in
        --copy) form=copy; shift; while [ "$1" != -- ]; do entries+=("$1"); shift; done ;;
        --file) form=file; folder=$(cd "$2" && pwd); shift 2 ;;
    esac
    out=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
    {
        printf 'Unicode true\nTarget %s\nSetCompress off\nSilentInstall silent\n' "$STUB"
        printf 'RequestExecutionLevel user\nOutFile "%s"\nInstallDir "$TEMP\\bench"\n' "$out"
        printf '!include FileFunc.nsh\nSection\nSetOutPath "$INSTDIR"\n'
        for entry in "${entries[@]}"; do
            local sub=""
            [[ $entry == */* ]] && sub="\\${entry%/*}"
            printf 'CopyFiles /SILENT "$EXEDIR\\%s" "$INSTDIR%s"\n' "${entry//\//\\}" "${sub//\//\\}"
        done
        [ $form = file ] && printf 'File /r "%s/*"\n' "$folder"
        if [ $form != none ]; then
            local menu="\$SMPROGRAMS\\$NSIS_NAME" key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$NSIS_NAME"
            printf '${GetParameters} $0\nClearErrors\n${GetOptions} $0 "/FINISH" $1\nIfErrors done\n'
            printf 'CreateDirectory "%s"\n' "$menu"
            printf 'CreateShortCut "%s\\%s.lnk" "$INSTDIR\\%s"\n' "$menu" 見本ゲーム game.exe "$menu" "見本ゲーム (GDI版)" \
                game_gdi.exe "$menu" お読み下さい お読み下さい.txt "$menu" アンインストールについて アンインストールについて.txt
            printf 'WriteRegStr HKCU "Software\\%s" "Dir" "$INSTDIR\\"\n' "$NSIS_NAME"
            printf 'WriteUninstaller "$INSTDIR\\uninstall.exe"\n'
            printf 'WriteRegStr HKCU "%s" "DisplayName" "%s"\n' "$key" "$NSIS_NAME"
            printf 'WriteRegStr HKCU "%s" "UninstallString" "$\\"$INSTDIR\\uninstall.exe$\\""\n' "$key"
            printf 'done:\n'
        fi
        printf 'SectionEnd\nSection "Uninstall"\nSectionEnd\n'
    } > "$out.nsi"
    makensis -V1 -INPUTCHARSET UTF8 "$out.nsi" >/dev/null
}
nsis_clean() {
    "$WINE64" reg delete "HKCU\\Software\\$NSIS_NAME" /f >/dev/null 2>&1 || true
    "$WINE64" reg delete "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$NSIS_NAME" /f >/dev/null 2>&1 || true
    find "$WINEPREFIX/drive_c/users" -depth -name "$NSIS_NAME" -exec rm -rf {} + 2>/dev/null || true
}

# The discs, the files they install linked into a folder of their own (for cp and `File /r`), and
# their installers.
rm -rf "$WORK" && mkdir -p "$WORK"
mapfile -t entries < <(python3 tools/make_disc.py --bench "$WORK/disc" --exe "$BIN/Setup.exe" --bin "$BIN")
mapfile -t many < <(python3 tools/make_disc.py --files-bench "$WORK/files" --exe "$BIN/Setup.exe" --bin "$BIN")
link_entries() { # disc folder entries... -> bytes
    local disc=$1 folder=$2 entry bytes=0
    shift 2
    for entry in "$@"; do
        mkdir -p "$folder/$(dirname "$entry")"
        ln "$disc/$entry" "$folder/$entry"
        bytes=$((bytes + $(stat -c %s "$disc/$entry")))
    done
    echo $bytes
}
bytes=$(link_entries "$WORK/disc" "$WORK/cp-source" "${entries[@]}")
link_entries "$WORK/files" "$WORK/files-source" "${many[@]}" >/dev/null
nsis --copy "${entries[@]}" -- "$WORK/disc/nsis-copy.exe"
nsis --file "$WORK/cp-source" -- "$WORK/nsis-file.exe"
nsis -- "$WORK/disc/empty.exe"
nsis --copy "${many[@]}" -- "$WORK/files/nsis-copy.exe"
nsis --file "$WORK/files-source" -- "$WORK/files-nsis-file.exe"
# Read once, and written out before the first figure: making the discs leaves gigabytes to flush.
cat "$WORK"/*.exe "$WORK/disc"/* "$WORK/disc"/data/* "$WORK/disc"/data/sub/* "$WORK/files"/data/* >/dev/null 2>&1 || true
sync
echo "bench disc: ${#entries[@]} files, $((bytes / 1048576)) MiB; many-files disc: ${#many[@]} files;" \
    "NSIS stub $STUB; $ROUNDS rounds"

setup_run() { # disc -> seconds and seconds to the first file
    rm -rf "$WORK/out" && mkdir -p "$WORK/out" && sync
    quiet "$WINE64" "$BIN/copy_bench.exe" "$(winpath "$1")" "$(winpath "$WORK/out")\\MihonGame" | tr -d '\r' |
        awk '$1 == "seconds" { s = $2 } $1 == "first-file" { f = $2 } END { print s, f }'
}
nsis_run() { # installer [/FINISH] -> seconds, the whole process
    rm -rf "$WORK/out" && mkdir -p "$WORK/out/MihonGame" && sync
    local start
    start=$(now)
    quiet "$WINE64" "$1" ${2:-} /S "/D=$(winpath "$WORK/out")\\MihonGame"
    since "$start"
}
cp_run() { # folder -> seconds
    rm -rf "$WORK/out" && mkdir -p "$WORK/out" && sync
    local start
    start=$(now)
    cp -r "$1" "$WORK/out/cp"
    since "$start"
}
floor_run() { # round -> the engine's, the 1 MiB floor's and the 64 KiB loop's seconds
    rm -rf "$WORK/floor-out" && mkdir -p "$WORK/floor-out" && sync
    quiet "$WINE64" "$BIN/floor_bench.exe" "$(winpath "$WORK/disc")" "$(winpath "$WORK/floor-out")" 1 "$1" | tr -d '\r' |
        awk '$1 == "round" { gsub(",", ""); print $4, $7, $10 }'
}

declare -A all=()  # contender -> its seconds of every round
slow=0
for round in $(seq "$ROUNDS"); do
    order=(setup cp floor ncopy ncopy-only nfile nfile-only empty fsetup fcp fncopy fnfile)
    [ $((round % 2)) = 0 ] && order=(fnfile fncopy fcp fsetup empty nfile-only nfile ncopy-only ncopy floor cp setup)
    declare -A t=()
    for who in "${order[@]}"; do
        case $who in
            setup) read -r t[setup] t[first] < <(setup_run "$WORK/disc") ;;
            cp) t[$who]=$(cp_run "$WORK/cp-source") ;;
            floor) read -r t[engine] t[floor] t[floor64] < <(floor_run "$round") ;;
            ncopy) t[$who]=$(nsis_run "$WORK/disc/nsis-copy.exe" /FINISH) ;;
            ncopy-only) t[$who]=$(nsis_run "$WORK/disc/nsis-copy.exe") ;;
            nfile) t[$who]=$(nsis_run "$WORK/nsis-file.exe" /FINISH) ;;
            nfile-only) t[$who]=$(nsis_run "$WORK/nsis-file.exe") ;;
            empty) t[$who]=$(nsis_run "$WORK/disc/empty.exe") ;;
            fsetup) read -r t[fsetup] t[ffirst] < <(setup_run "$WORK/files") ;;
            fcp) t[$who]=$(cp_run "$WORK/files-source") ;;
            fncopy) t[$who]=$(nsis_run "$WORK/files/nsis-copy.exe" /FINISH) ;;
            fnfile) t[$who]=$(nsis_run "$WORK/files-nsis-file.exe" /FINISH) ;;
        esac
    done
    mark=""
    if awk -v a="${t[floor]}" -v b="${t[floor64]}" 'BEGIN { exit !(a > 2 * b) }'; then
        slow=$((slow + 1)) mark=" (slow)"
    fi
    printf 'round %d, 1 GiB: Setup.exe %.3f s, cp -r %.3f s, NSIS CopyFiles %.3f s (copying only %.3f s), NSIS File %.3f s (copying only %.3f s), empty NSIS %.3f s\n' \
        "$round" "${t[setup]}" "${t[cp]}" "${t[ncopy]}" "${t[ncopy-only]}" "${t[nfile]}" "${t[nfile-only]}" "${t[empty]}"
    printf 'round %d, in-process: engine %.3f s, 1 MiB floor %.3f s, 64 KiB loop %.3f s%s\n' \
        "$round" "${t[engine]}" "${t[floor]}" "${t[floor64]}" "$mark"
    printf 'round %d, many files: Setup.exe %.3f s (first file at %.3f s), cp -r %.3f s, NSIS CopyFiles %.3f s, NSIS File %.3f s\n' \
        "$round" "${t[fsetup]}" "${t[ffirst]}" "${t[fcp]}" "${t[fncopy]}" "${t[fnfile]}"
    for who in "${!t[@]}"; do all[$who]+=" ${t[$who]}"; done
    unset t
done

# Per round: the figure from that round's times; best: the same from each contender's fastest round.
# Expressions name contenders by their keys in `all`.
per_round() { # expression -> one value per round
    local expr=$1 round key e
    for round in $(seq "$ROUNDS"); do
        e=$expr
        for key in "${!all[@]}"; do
            e=${e//\{$key\}/$(awk -v r="$round" '{ print $r }' <<<"${all[$key]}")}
        done
        calc "$e"; echo
    done
}
best() { # expression
    local e=$1 key
    for key in "${!all[@]}"; do e=${e//\{$key\}/$(least ${all[$key]})}; done
    calc "$e"
}
figure() { # name expression
    # shellcheck disable=SC2046
    report "$1" "$(best "$2")" $(per_round "$2")
}

files=${#many[@]}
figures=()
echo
figure floor-ratio '{floor} / {engine}'
figure copy-ratio '{cp} / {setup}'
figure nsis-copy-ratio '({ncopy} - {empty}) / {setup}'
figure nsis-copy-only-ratio '({ncopy-only} - {empty}) / {setup}'
figure nsis-file-ratio '({nfile} - {empty}) / {setup}'
figure nsis-file-only-ratio '({nfile-only} - {empty}) / {setup}'
figure files-ratio '({fncopy} - {empty}) / {fsetup}'
figure files-file-ratio '({fnfile} - {empty}) / {fsetup}'
figure files-ms-setup "1000 * {fsetup} / $files"
figure files-ms-nsis-copy "1000 * ({fncopy} - {empty}) / $files"
figure files-ms-nsis-file "1000 * ({fnfile} - {empty}) / $files"
figure files-ms-cp "1000 * {fcp} / $files"
figure files-first-ms '1000 * {ffirst}'
echo "slow rounds (the 1 MiB floor loop more than twice as long as the 64 KiB loop): $slow of $ROUNDS"
printf '%s\n' "${figures[@]}" | sed -n 's/^nsis-copy-ratio\(-best\)\? /nsis-ratio\1 /p'
printf '%s\n' "${figures[@]}"
echo "slow-rounds $slow of $ROUNDS"
