#!/usr/bin/env bash
# usage: check_reproducible.sh SOURCE_DIR EXE...
# A build anyone can reproduce: each program's header carries no link time stamp (0), and nothing
# of the machine that built it, such as the source or build folder, is inside.
set -u
source_dir=$1
shift
fail=0
for exe in "$@"; do
    stamp=$(python3 -c 'import struct, sys
d = open(sys.argv[1], "rb").read()
print(struct.unpack_from("<I", d, struct.unpack_from("<I", d, 0x3C)[0] + 8)[0])' "$exe")
    if [ "$stamp" = 0 ]; then echo "ok: $exe has no link time stamp"; else echo "FAIL: $exe is stamped $stamp"; fail=1; fi
    for path in "$source_dir" "$(dirname "$exe")"; do
        if grep -q -a -F "$path" "$exe"; then echo "FAIL: $exe holds the path $path"; fail=1; fi
    done
done
[ "$fail" = 0 ] && echo "ok: reproducible"
exit "$fail"
