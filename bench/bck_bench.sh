#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times BCK backup and restore against zip -1 and unzip on one generated
# collection of 5,000 sermons (RTF manuscript and text copy each, CP949).
# Usage: bench/bck_bench.sh [BUILD_DIR] [SERMONS] [ROUNDS]
# Each step runs ROUNDS times (default 3) and the fastest run counts, as
# other programs share the machine. Prints the ratios (ours / theirs; 1.0 or
# less is the target), the archive sizes and our peak memory.
set -eu

BUILD=${1:-build}
SERMONS=${2:-5000}
ROUNDS=${3:-3}
CLI=$BUILD/verbana-cli
GEN=$BUILD/bench/bck_gen_collection
for tool in "$CLI" "$GEN"; do
  [ -x "$tool" ] || { echo "missing $tool: build the project first" >&2; exit 1; }
done
command -v zip >/dev/null && command -v unzip >/dev/null || { echo "zip and unzip are needed" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/bck-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM
COLLECTION=$WORK/collection/설교
"$GEN" "$COLLECTION" "$SERMONS" 1
FILES=$(find "$COLLECTION" -type f | wc -l)
BYTES=$(find "$COLLECTION" -type f -printf '%s\n' | awk '{s += $1} END {print s}')
cat "$COLLECTION"/data/* "$COLLECTION"/text/* > /dev/null # warm the page cache

# best_of COMMAND...: runs the command ROUNDS times and prints the fastest
# wall time and the CPU time (user + system) of that run, in seconds. A
# preparation step may be given in $PREPARE.
best_of() {
  best="999999 0"
  i=0
  while [ "$i" -lt "$ROUNDS" ]; do
    [ -n "${PREPARE:-}" ] && sh -c "$PREPARE"
    run=$(/usr/bin/time -f "%e %U %S" "$@" 2>&1 >/dev/null | tail -n 1)
    best=$(echo "$run $best" | awk '{cpu = $2 + $3; print ($1 < $4 ? $1 " " cpu : $4 " " $5)}')
    i=$((i + 1))
  done
  echo "$best"
}

PREPARE="rm -f '$WORK/ours.bck'"
OURS_BACKUP=$(best_of "$CLI" bck-backup "$COLLECTION" "$WORK/ours.bck")
PREPARE="rm -f '$WORK/theirs.zip'"
ZIP_BACKUP=$(best_of sh -c "cd '$WORK/collection' && zip -1 -r -q '$WORK/theirs.zip' ."
)
PREPARE="rm -rf '$WORK/out-ours'"
OURS_RESTORE=$(best_of "$CLI" bck-restore "$WORK/ours.bck" "$WORK/out-ours")
PREPARE="rm -rf '$WORK/out-zip'"
ZIP_RESTORE=$(best_of unzip -q "$WORK/theirs.zip" -d "$WORK/out-zip")
PREPARE=""

# Both restorations must give the collection back byte for byte.
RESTORED=$(find "$WORK/out-ours" -type d -name 설교 | head -n 1)
diff -r "$COLLECTION" "$RESTORED" > /dev/null || { echo "our restore differs from the collection" >&2; exit 1; }
diff -r "$COLLECTION" "$WORK/out-zip/설교" > /dev/null || { echo "unzip differs from the collection" >&2; exit 1; }

# Peak memory of one more run of each of ours.
MEM_BACKUP=$(rm -f "$WORK/ours.bck"; /usr/bin/time -f %M "$CLI" bck-backup "$COLLECTION" "$WORK/ours.bck" 2>&1 >/dev/null | tail -n 1)
MEM_RESTORE=$(rm -rf "$WORK/out-ours"; /usr/bin/time -f %M "$CLI" bck-restore "$WORK/ours.bck" "$WORK/out-ours" 2>&1 >/dev/null | tail -n 1)

MEM_IDLE=$(/usr/bin/time -f %M "$CLI" --help 2>&1 >/dev/null | tail -n 1)

OURS_SIZE=$(stat -c %s "$WORK/ours.bck")
ZIP_SIZE=$(stat -c %s "$WORK/theirs.zip")
echo "$OURS_BACKUP $ZIP_BACKUP $OURS_RESTORE $ZIP_RESTORE" | awk -v files="$FILES" -v bytes="$BYTES" -v os="$OURS_SIZE" -v zs="$ZIP_SIZE" -v mb="$MEM_BACKUP" -v mr="$MEM_RESTORE" -v mi="$MEM_IDLE" -v rounds="$ROUNDS" '{
  ob = $1; obc = $2; zb = $3; zbc = $4; or = $5; orc = $6; zr = $7; zrc = $8
  printf "collection: %d files, %d bytes (best of %d runs each)\n", files, bytes, rounds
  printf "backup : bck %.2f s, zip -1 %.2f s, ratio %.2f (CPU %.2f s / %.2f s, ratio %.2f)\n", ob, zb, ob / zb, obc, zbc, obc / zbc
  printf "restore: bck %.2f s, unzip  %.2f s, ratio %.2f (CPU %.2f s / %.2f s, ratio %.2f)\n", or, zr, or / zr, orc, zrc, orc / zrc
  printf "archive: bck %d bytes (%.1f%%), zip %d bytes (%.1f%%)\n", os, 100 * os / bytes, zs, 100 * zs / bytes
  printf "peak memory of verbana-cli: backup %d KB, restore %d KB (%d KB when idle)\n", mb, mr, mi
}'
