#!/usr/bin/env bash
# Time from starting the program to its splash screen (the About window)
# and to its main window showing the last sermon of a 100,000-sermon
# collection, on a virtual X display.
#   bench/startup_bench.sh [BUILD_DIR] [SERMONS] [RUNS]
set -euo pipefail
build=${1:-build}
sermons=${2:-100000}
runs=${3:-5}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

mkdir -p "$home/big/data" "$home/big/text"
"$build/bench/engine_bench" --make-table "$sermons" "$home/big"
printf '[file]\r\nlast=big\r\n[\xc3\xb9\xc8\xad\xb8\xe9]\r\nhelp=0\r\n' > "$home/verbdesk.ini"  # 첫화면: no start helper

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  build=$1; home=$2; runs=$3
  for i in $(seq "$runs"); do
    start=$(date +%s%N)
    VERBANA_HOME="$home" "$build/verbana" &
    pid=$!
    until xdotool search --onlyvisible --name "^About$" >/dev/null 2>&1; do sleep 0.002; done
    splash=$(date +%s%N)
    # The title names the collection once it is open and the window shown.
    until xdotool search --onlyvisible --name "Verbana - BIG" >/dev/null 2>&1; do sleep 0.005; done
    end=$(date +%s%N)
    echo "run $i: $(( (splash - start) / 1000000 )) ms to the splash, $(( (end - start) / 1000000 )) ms to the window with the last sermon"
    rss=$(awk "/VmRSS/ {print \$2}" /proc/$pid/status)
    echo "        resident $rss KiB"
    kill $pid; wait $pid 2>/dev/null || true
  done
' _ "$build" "$home" "$runs"
