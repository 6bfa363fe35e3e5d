#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the backup windows' work on one generated collection of 5,000
# sermons (10,001 files, cached): a ZIP backup and restore through the ZIP
# logic against zip -1 -r -q and unzip -q on the same folder, our ZIP
# restore over an existing copy of the collection (built beside it, folders
# swapped, the old one moved to the trash) against unzip -o -q of the same
# archive over the same folder, and a BCK backup and restore through the
# backup window's buttons against the archive component alone.
# Usage: bench/backup_bench.sh [BUILD_DIR] [SERMONS] [ROUNDS]
# Each pair of steps runs ROUNDS times (default 3) in turn, so that both
# sides meet the same load, and the fastest run of each counts.
# Prints the machine's load, the ratios (ZIP: ours / theirs, target 1.0 or
# less, 1.2 or less over an existing collection; BCK: window / component,
# target 1.05 or less) and the archive sizes.
set -eu

BUILD=${1:-build}
SERMONS=${2:-5000}
ROUNDS=${3:-3}
RUN=$BUILD/bench/backup_window_bench
GEN=$BUILD/bench/bck_gen_collection
for tool in "$RUN" "$GEN"; do
  [ -x "$tool" ] || { echo "missing $tool: build the project first" >&2; exit 1; }
done
command -v zip >/dev/null && command -v unzip >/dev/null || { echo "zip and unzip are needed" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/backup-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM
# The old collection a restore replaces goes to a trash of our own.
export XDG_DATA_HOME="$WORK/xdg"
mkdir -p "$XDG_DATA_HOME"
PF=$WORK/program
OVER=$WORK/over
COLLECTION=$PF/설교
LOAD=$(uptime)
"$GEN" "$COLLECTION" "$SERMONS" 1
FILES=$(find "$COLLECTION" -type f | wc -l)
BYTES=$(find "$COLLECTION" -type f -printf '%s\n' | awk '{s += $1} END {print s}')
cat "$COLLECTION"/sul2file.* "$COLLECTION"/data/* "$COLLECTION"/text/* > /dev/null 2>&1 || true

# pair NAME_A PREP_A CMD_A NAME_B PREP_B CMD_B: runs A then B, ROUNDS times
# in turn (so both meet the same load), and prints the fastest wall time
# and the smallest CPU time (user + system) of each: "wa ca wb cb".
pair() {
  res="999999 999999 999999 999999"
  i=0
  while [ "$i" -lt "$ROUNDS" ]; do
    sh -c "$2"
    a=$(/usr/bin/time -f "%e %U %S" sh -c "$3" 2>&1 >/dev/null | tail -n 1)
    sh -c "$5"
    b=$(/usr/bin/time -f "%e %U %S" sh -c "$6" 2>&1 >/dev/null | tail -n 1)
    res=$(echo "$a $b $res" | awk '{
      ca = $2 + $3; cb = $5 + $6
      printf "%s %s %s %s", ($1 < $7 ? $1 : $7), (ca < $8 ? ca : $8), ($4 < $9 ? $4 : $9), (cb < $10 ? cb : $10)}')
    i=$((i + 1))
  done
  echo "$res"
}

ZIPB=$(pair ours "rm -f '$WORK/ours.zip'" "'$RUN' zip-backup '$PF' 설교 '$WORK/ours.zip'" \
            zip "rm -f '$WORK/theirs.zip'" "cd '$PF' && zip -1 -r -q '$WORK/theirs.zip' 설교")
ZIPR=$(pair ours "rm -rf '$PF/복원'" "'$RUN' zip-restore '$PF' '$WORK/ours.zip' 복원" \
            unzip "rm -rf '$WORK/unzipped'" "unzip -q '$WORK/theirs.zip' -d '$WORK/unzipped'")
diff -r "$COLLECTION" "$PF/복원" > /dev/null || { echo "our ZIP restore differs from the collection" >&2; exit 1; }
# Over an existing copy of the collection, the same archive both ways.
FRESH="rm -rf '$OVER' '$XDG_DATA_HOME/Trash' && mkdir -p '$OVER' && cp -a '$COLLECTION' '$OVER/설교' && sync"
ZIPO=$(pair ours "$FRESH" "'$RUN' zip-restore '$OVER' '$WORK/ours.zip' 설교" \
            unzip "$FRESH" "unzip -o -q '$WORK/ours.zip' -d '$OVER'")
"$RUN" zip-restore "$OVER" "$WORK/ours.zip" 설교
diff -r "$COLLECTION" "$OVER/설교" > /dev/null || { echo "our ZIP restore over the collection differs from it" >&2; exit 1; }
[ "$(ls -A "$OVER")" = "설교" ] || { echo "our ZIP restore over the collection left: $(ls -A "$OVER")" >&2; exit 1; }
BCKB=$(pair window "rm -f '$WORK/window.bck'" "'$RUN' bck-window-backup '$PF' 설교 '$WORK/window.bck'" \
            component "rm -f '$WORK/component.bck'" "'$RUN' bck-component-backup '$PF' 설교 '$WORK/component.bck'")
BCKR=$(pair window "rm -rf '$PF/되살림'" "'$RUN' bck-window-restore '$PF' '$WORK/window.bck' 되살림" \
            component "rm -rf '$WORK/component-out'" "'$RUN' bck-component-restore '$PF' '$WORK/component.bck' '$WORK/component-out'")
diff -r "$COLLECTION" "$PF/되살림" > /dev/null || { echo "the window's BCK restore differs from the collection" >&2; exit 1; }

echo "load before the runs: $LOAD"
echo "$ZIPB $ZIPR $BCKB $BCKR $ZIPO" | awk -v files="$FILES" -v bytes="$BYTES" -v rounds="$ROUNDS" \
  -v oz="$(stat -c %s "$WORK/ours.zip")" -v tz="$(stat -c %s "$WORK/theirs.zip")" \
  -v wb="$(stat -c %s "$WORK/window.bck")" '{
  printf "collection: %d files, %d bytes (best of %d runs each)\n", files, bytes, rounds
  printf "zip backup : ours %.2f s, zip -1 %.2f s, ratio %.2f (CPU %.2f s / %.2f s, ratio %.2f)\n", $1, $3, $1 / $3, $2, $4, $2 / $4
  printf "zip restore: ours %.2f s, unzip  %.2f s, ratio %.2f (CPU %.2f s / %.2f s, ratio %.2f)\n", $5, $7, $5 / $7, $6, $8, $6 / $8
  printf "zip restore over the collection: ours %.2f s, unzip -o %.2f s, ratio %.2f (CPU %.2f s / %.2f s, ratio %.2f)\n", $17, $19, $17 / $19, $18, $20, $18 / $20
  printf "zip archive: ours %d bytes, zip -1 %d bytes\n", oz, tz
  printf "bck backup : window %.2f s, component %.2f s, ratio %.2f (CPU %.2f s / %.2f s, ratio %.2f)\n", $9, $11, $9 / $11, $10, $12, $10 / $12
  printf "bck restore: window %.2f s, component %.2f s, ratio %.2f (CPU %.2f s / %.2f s, ratio %.2f)\n", $13, $15, $13 / $15, $14, $16, $14 / $16
  printf "bck archive: %d bytes\n", wb
}'
