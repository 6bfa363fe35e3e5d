#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, -DVERBANA_FUZZ=ON) in their own build
# folder and fuzzes each for a given time, at most two at a time and at the
# lowest priority. New inputs go to <work>/<target>/corpus (the saved corpus
# in tests/fuzz/corpus/<target> is read, never written), crashes, timeouts
# and out-of-memory inputs to <work>/<target>/findings, libFuzzer's output to
# <work>/<target>/log. A finding does not end a target's run.
#
#   scripts/fuzz.sh [seconds per target] [target ...]    (default: 600, every target)
#
# FUZZ_BUILD (build-fuzz), FUZZ_WORK (<build>/fuzz-work) and FUZZ_JOBS (2)
# change the folders and how many run side by side; FUZZ_NO_BUILD=1 runs
# the targets as they were last built.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
build=${FUZZ_BUILD:-build-fuzz}
work=${FUZZ_WORK:-$build/fuzz-work}
jobs=${FUZZ_JOBS:-2}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$f" .cpp)")
  done
fi

if [ "${FUZZ_NO_BUILD:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERBANA_FUZZ=ON \
    -DVERBANA_ENGINE_ONLY=ON -DVERBANA_BENCH=OFF >/dev/null
  nice -n 10 cmake --build "$build" -j "$jobs" --target "${targets[@]}"
fi

# Seeds from the shared fixtures, read where they are (never copied into
# the project): HWP documents for the title readers, RTF documents for the
# text import; the foreign tables with their memo files, put together in
# the target's input form (a flag byte, the table's length in two bytes,
# the table, the memo file) in the work folder.
shared=${VERBANA_SHARED_DIR:-../shared}
fixture_seeds() {
  local target=$1 dir=$2
  case $target in
  fuzz_hwp_title) echo "$shared/fixtures/hwp" ;;
  fuzz_text_import) echo "$shared/fixtures/rtf" ;;
  fuzz_foreign_tables)
    mkdir -p "$dir/fixture-seeds"
    local pair flag name size
    for pair in "0 foreign-sermon/SULGYO" "1 foreign-notes/NOTE1"; do
      read -r flag name <<<"$pair"
      size=$(stat -c %s "$shared/fixtures/xbase/$name.DBF")
      { printf "\\x$(printf %02x "$flag")\\x$(printf %02x $((size & 255)))\\x$(printf %02x $((size >> 8 & 255)))"
        cat "$shared/fixtures/xbase/$name.DBF" "$shared/fixtures/xbase/$name".[Ss][Mm][Tt]; } >"$dir/fixture-seeds/${name##*/}"
    done
    echo "$dir/fixture-seeds" ;;
  esac
}
export shared
export -f fixture_seeds

fuzz_one() {
  local target=$1 seconds=$2 build=$3 work=$4
  local dir="$work/$target"
  mkdir -p "$dir/corpus" "$dir/findings"
  local seeds
  seeds=$(fixture_seeds "$target" "$dir")
  # Fork mode with every kind of finding ignored: the run goes on after one
  # and keeps each input that ended a child.
  # shellcheck disable=SC2086 # the seed folders are words
  nice -n 19 "$build/tests/fuzz/$target" "$dir/corpus" "tests/fuzz/corpus/$target" $seeds \
    -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$dir/findings/" -print_final_stats=1 >"$dir/log" 2>&1 || true
  echo "$target done"
}
export -f fuzz_one
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'fuzz_one "$@"' _ {} "$seconds" "$build" "$work"

# One line per target: executions, coverage and features at the end, findings.
printf '%-22s %12s %8s %8s %9s\n' target execs cov ft findings
for t in "${targets[@]}"; do
  last=$(grep -E '^#[0-9]+' "$work/$t/log" | tail -n 1 || true)
  execs=$(sed -nE 's/^#([0-9]+).*/\1/p' <<<"$last")
  cov=$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<<"$last")
  ft=$(sed -nE 's/.*ft: ([0-9]+).*/\1/p' <<<"$last")
  found=$(find "$work/$t/findings" -type f | wc -l)
  printf '%-22s %12s %8s %8s %9s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$found"
done
