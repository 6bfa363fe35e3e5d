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

fuzz_one() {
  local target=$1 seconds=$2 build=$3 work=$4
  local dir="$work/$target"
  mkdir -p "$dir/corpus" "$dir/findings"
  # Fork mode with every kind of finding ignored: the run goes on after one
  # and keeps each input that ended a child.
  nice -n 19 "$build/tests/fuzz/$target" "$dir/corpus" "tests/fuzz/corpus/$target" \
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
