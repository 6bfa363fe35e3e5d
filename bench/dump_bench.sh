#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times `verbana-cli dump --order date1` of a generated table of sermons
# (CP949 text, the four tags), a fresh process per run, output discarded.
#
#   bench/dump_bench.sh [BUILD_DIR] [SERMONS] [RUNS]
#
# Prints the best wall-clock and CPU (user + system) time over RUNS runs.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
sermons=${2:-100000}
runs=${3:-5}
cli=$build/verbana-cli
maker=$build/bench/engine_bench
for f in "$cli" "$maker"; do
    [ -x "$f" ] || { echo "dump_bench: $f not built" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$maker" --make-table "$sermons" "$work" >/dev/null
"$cli" dump "$work/sul2file.dbf" --order date1 >/dev/null # warm the page cache once

i=0
while [ "$i" -lt "$runs" ]; do
    /usr/bin/time -f '%e %U %S' -a -o "$work/times" "$cli" dump "$work/sul2file.dbf" --order date1 >/dev/null
    i=$((i + 1))
done
awk -v n="$sermons" '
    { wall = $1; cpu = $2 + $3
      if (NR == 1 || wall < bw) bw = wall
      if (NR == 1 || cpu < bc) bc = cpu }
    END { printf "dump --order date1 of %d sermons: best wall %.2f s, best CPU %.2f s (%d runs)\n", n, bw, bc, NR }
' "$work/times"
