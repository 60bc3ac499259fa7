#!/usr/bin/env bash
# usage: check_imports.sh WIN32_EXE WIN64_EXE WIN32_CEILING_BYTES
set -u
export LC_ALL=C  # objdump speaks the locale's language otherwise
# The system's known DLLs, which it maps from its own folder whatever the search order, and the
# common controls, which the manifest binds to the system's side-by-side copy. Any other DLL (winmm,
# version, ...) is loaded from the system folder at first use, never imported: an import would be
# looked for beside Setup.exe first.
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|OLEAUT32|COMCTL32|COMDLG32|MSVCRT|SHLWAPI)\.DLL$'
fail=0
check() { # exe expected-format
    local exe=$1 format=$2 dump
    if ! dump=$(x86_64-w64-mingw32-objdump -p "$exe" 2>&1); then
        echo "FAIL: cannot read $exe: $dump"; fail=1; return
    fi
    grep -q -E "file format pei?-$format" <<<"$dump" || { echo "FAIL: $exe is not $format"; fail=1; }
    grep -q -E '^Subsystem[[:space:]]+00000002' <<<"$dump" || { echo "FAIL: $exe is not a GUI program"; fail=1; }
    local dll
    while read -r dll; do
        if grep -q -i -E "$allowed" <<<"$dll"; then
            echo "ok: $exe imports $dll"
        else
            echo "FAIL: $exe imports $dll, which is not one of Windows' own DLLs"; fail=1
        fi
    done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
}
check "$1" i386
check "$2" x86-64
size=$(stat -c %s "$1" 2>/dev/null || echo 0)
if [ "$size" -le "$3" ]; then
    echo "ok: $1 is $size bytes, within $3"
else
    echo "FAIL: $1 is $size bytes, over its ceiling of $3"; fail=1
fi
exit $fail
