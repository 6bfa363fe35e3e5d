#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times Hwp2txt converting the largest HWP fixture, the way the program
# starts it (a fresh process per document). Target: at most 50 ms.
#
#   bench/hwp_bench.sh [BUILD_DIR] [RUNS] [FILE]
#
# Prints the minimum, median and mean wall-clock time over RUNS runs.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
runs=${2:-50}
fixtures=${VERBANA_SHARED_DIR:-$here/../shared}/fixtures/hwp
converter=$build/Hwp2txt
[ -x "$converter" ] || { echo "hwp_bench: $converter not built" >&2; exit 1; }

if [ $# -ge 3 ]; then
    file=$3
else
    # The largest document among the fixtures.
    file=$(find "$fixtures" -name '*.hwp' -not -path '*/damaged/*' -printf '%s %p\n' | sort -n | tail -n 1 | cut -d' ' -f2-)
fi
[ -f "$file" ] || { echo "hwp_bench: no HWP fixture found under $fixtures" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$file" "$work/convhwp.hwp"
cd "$work"

"$converter" convhwp.hwp convhwp.txt /ks # warm the page cache once
i=0
: > times
while [ "$i" -lt "$runs" ]; do
    start=$(date +%s%N)
    "$converter" convhwp.hwp convhwp.txt /ks
    end=$(date +%s%N)
    echo $(( (end - start) / 1000 )) >> times
    i=$((i + 1))
done

sort -n times | awk -v file="$(basename "$file")" -v bytes="$(wc -c < convhwp.hwp)" -v out="$(wc -c < convhwp.txt)" '
    { t[NR] = $1; sum += $1 }
    END {
        printf "Hwp2txt %s (%d bytes -> %d bytes of text), %d runs\n", file, bytes, out, NR
        printf "  min %.1f ms  median %.1f ms  mean %.1f ms  (target <= 50 ms)\n",
               t[1] / 1000, t[int((NR + 1) / 2)] / 1000, sum / NR / 1000
    }'
