#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times a manuscript gathering of two words joined by OR on a generated
# collection of 5,000 sermons (CP949 text copies of 5-30 KB, in the page
# cache) against grep -F -l -r with the same two words on the same text
# folder, in the same run. Usage: bench/gather_bench.sh [BUILD_DIR] [SERMONS] [ROUNDS]
# The fastest of ROUNDS runs counts; prints both times, the ratio (ours /
# grep; 1.0 or less is the target) and our peak memory.
set -eu

BUILD=${1:-build}
SERMONS=${2:-5000}
ROUNDS=${3:-5}
SCAN=$BUILD/bench/gather_scan
[ -x "$SCAN" ] || { echo "missing $SCAN: build the project first" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/gather-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM
"$SCAN" gen "$WORK" "$SERMONS"
cat "$WORK"/text/d0/* > /dev/null # warm the page cache
# Two CP949 words: one that occurs (a word of the first text copy) and one
# that the generator never writes (it uses no syllable below 0xB0).
W1=$(head -c 4 "$WORK/text/d0/sul0.txt")
W2=$(printf '\241\241\241\242')

best() {
  best=999999
  i=0
  while [ "$i" -lt "$ROUNDS" ]; do
    start=$(date +%s.%N)
    "$@" > /dev/null
    t=$(echo "$start $(date +%s.%N)" | awk '{printf "%.4f", $2 - $1}')
    best=$(echo "$t $best" | awk '{print ($1 < $2 ? $1 : $2)}')
    i=$((i + 1))
  done
  echo "$best"
}

OURS=$(best "$SCAN" scan "$WORK" "$W1" "$W2")
GREP=$(best env LC_ALL=C grep -F -l -r -e "$W1" -e "$W2" "$WORK/text")
"$SCAN" scan "$WORK" "$W1" "$W2"
echo "grep found $(LC_ALL=C grep -F -l -r -e "$W1" -e "$W2" "$WORK/text" | wc -l)"
echo "manuscript gathering: ${OURS} s, grep: ${GREP} s, ratio $(echo "$OURS $GREP" | awk '{printf "%.2f", ($2 > 0 ? $1 / $2 : 0)}')"
