#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The manuscript search on 50 MB text copies against grep -F -c of the same
# word, in the same run: a hostile copy (the pair 81 B0 repeated, searched
# for B0 81, which never starts a character there) and ordinary Korean
# text (syllables, spaces and line ends, searched for a word it does not
# hold, so that both read everything). Usage:
# bench/cp949_search_bench.sh [BUILD_DIR] [MEGABYTES] [ROUNDS]
# Prints both times and the ratio (ours / grep; 1.0 or less is the target).
set -eu

BUILD=${1:-build}
MB=${2:-50}
ROUNDS=${3:-5}
SEARCH=$BUILD/bench/cp949_search
[ -x "$SEARCH" ] || { echo "missing $SEARCH: build the project first" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/cp949-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM
python3 - "$WORK" "$MB" <<'PY'
import random, sys
work, mb = sys.argv[1], int(sys.argv[2])
size = mb * 1024 * 1024
open(f"{work}/hostile.txt", "wb").write(b"\x81\xb0" * (size // 2))
rng = random.Random(949)
syllables = [bytes([lead, trail]) for lead in range(0xB0, 0xC9) for trail in range(0xA1, 0xFF)]
out, n = [], 0
while n < size:
    word = b"".join(rng.choice(syllables) for _ in range(rng.randint(1, 5)))
    sep = b"\r\n" if rng.random() < 0.08 else b" "
    out.append(word + sep)
    n += len(word) + len(sep)
open(f"{work}/korean.txt", "wb").write(b"".join(out)[:size])
PY

best_grep() {
  best=999999
  i=0
  while [ "$i" -lt "$ROUNDS" ]; do
    start=$(date +%s.%N)
    LC_ALL=C grep -F -c -e "$(printf "$1")" "$2" > /dev/null || true
    t=$(echo "$start $(date +%s.%N)" | awk '{printf "%.4f", $2 - $1}')
    best=$(echo "$t $best" | awk '{print ($1 < $2 ? $1 : $2)}')
    i=$((i + 1))
  done
  echo "$best"
}

run() { # name file hex printf-form
  cat "$2" > /dev/null
  set -- "$1" "$2" "$3" "$4" $("$SEARCH" "$2" "$3" "$ROUNDS")
  GREP=$(best_grep "$4" "$2")
  echo "$1: ours $5 s (found at $6), grep -F -c $GREP s, ratio $(echo "$5 $GREP" | awk '{printf "%.2f", $1 / $2}')"
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
run "hostile run ${MB} MB" "$WORK/hostile.txt" b081 '\260\201'
run "Korean text ${MB} MB" "$WORK/korean.txt" a1a1a1a2 '\241\241\241\242'
