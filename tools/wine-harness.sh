# Sourced by ./run: a private Wine prefix under build/, Xvfb when there is no display, and one
# persistent wineserver for the run. harness_start sets it up; harness_stop ends what it started.
HARNESS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINE64=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEPREFIX=${SETUP_WINEPREFIX:-$HARNESS_ROOT/build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or Gecko installers, no desktop files in the Linux home, no sound drivers.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winealsa.drv,winepulse.drv=d"
export LANG=ja_JP.UTF-8
unset LC_ALL LC_CTYPE LC_MESSAGES
export TZ=${SETUP_TZ:-Asia/Tokyo}
HARNESS_XVFB_PID=

harness_log() { printf '[harness] %s\n' "$*" >&2; }

harness_prefix_settings() {
    # ＭＳ Ｐゴシック is drawn with IPA P-Gothic; window managing off (a close costs ~2 s under
    # Xvfb otherwise); no crash dialog waiting for a person.
    local reg=$WINEPREFIX/harness.reg
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n"ＭＳ ゴシック"="IPAGothic"\r\n'
        printf '"MS UI Gothic"="IPAPGothic"\r\n"MS Shell Dlg"="IPAPGothic"\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n"Decorated"="Y"\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
    } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
    "$WINE64" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1
}

winepath_of() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

harness_start() {
    if [ -z "${DISPLAY:-}" ]; then
        local n=90
        while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
        Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        HARNESS_XVFB_PID=$!
        export DISPLAY=:$n
        local i
        for i in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.05; done
    fi
    mkdir -p "$WINEPREFIX"
    "$WINESERVER" -p
    local stamp=$WINEPREFIX/.harness-ready-2
    if [ ! -f "$stamp" ]; then
        harness_log "making the Wine prefix $WINEPREFIX"
        "$WINE64" wineboot -i >/dev/null 2>&1
        harness_prefix_settings
        touch "$stamp"
    fi
    # Wine draws the title-bar buttons with Marlett; it finds the font only in the prefix.
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    if [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        mkdir -p "$fonts" && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    fi
    # The prefix's own services start with the first Wine process and inherit its output: start
    # them here, or ctest would wait for a pipe that they hold open.
    "$WINE64" wineboot >/dev/null 2>&1 </dev/null
}

harness_stop() {
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    if [ -n "$HARNESS_XVFB_PID" ]; then
        kill "$HARNESS_XVFB_PID" 2>/dev/null || true
        wait "$HARNESS_XVFB_PID" 2>/dev/null || true
        unset DISPLAY
    fi
}
