#!/usr/bin/env bash
# Takes the screenshots in docs/: the main window at the first start's size
# (527 x 430) with a sample collection open, browsing and adding a sermon;
# and the document editor at its own first-start size with a formatted
# manuscript (bench/memo_screenshot, which draws the window itself).
# Runs the built program on a virtual X display; needs ImageMagick's import.
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if ! command -v import >/dev/null; then
  echo "Installing imagemagick for its screen capture."
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq --no-install-recommends imagemagick >/dev/null
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cp -r "$build/resources/samples/." "$home/"
# The first run turns "1999 narae" into this collection; reopen it at start.
printf '[file]\r\nlast=1999년 나래솔 설교\r\n[첫화면]\r\nhelp=0\r\n' | iconv -f UTF-8 -t CP949 > "$home/verbdesk.ini"

xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  build=$1; home=$2
  VERBANA_HOME="$home" "$build/verbana" &
  pid=$!
  until xdotool search --onlyvisible --name "Verbana - " >/dev/null 2>&1; do sleep 0.05; done
  window=$(xdotool search --onlyvisible --name "Verbana - " | head -1)
  sleep 1
  # The window stands at 10, 10 with no frame on a bare X server.
  import -window root -crop 527x430+10+10 docs/main-window.png
  xdotool windowfocus --sync "$window" key F10
  sleep 1
  import -window root -crop 527x430+10+10 docs/main-window-adding.png
  kill $pid; wait $pid 2>/dev/null || true
' _ "$build" "$home"
xvfb-run -a -s "-screen 0 800x600x24" "$build/bench/memo_screenshot" docs/document-editor.png
echo "docs/main-window.png, docs/main-window-adding.png and docs/document-editor.png written."

# A first start: the start helper, a help page opened from it, and About.
fresh=$(mktemp -d)
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  build=$1; home=$2
  VERBANA_HOME="$home" "$build/verbana" &
  pid=$!
  until xdotool search --onlyvisible --name "시작 도우미" >/dev/null 2>&1; do sleep 0.05; done
  helper=$(xdotool search --onlyvisible --name "시작 도우미" | head -1)
  sleep 0.5
  import -window "$helper" docs/start-helper.png
  eval "$(xdotool getwindowgeometry --shell "$helper")"
  xdotool mousemove $((X + 80)) $((Y + 128)) click 1   # 2.처음 사용하는데...
  until xdotool search --onlyvisible --name "Verbana 도움말" >/dev/null 2>&1; do sleep 0.05; done
  help=$(xdotool search --onlyvisible --name "Verbana 도움말" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$help")"
  xdotool mousemove $((X + 253)) $((Y + 45)) click 1   # the link to the main window page
  sleep 1
  import -window "$help" docs/help.png
  eval "$(xdotool getwindowgeometry --shell "$helper")"
  xdotool mousemove $((X + 260)) $((Y + 280)) click 1   # 닫기 of the start helper
  sleep 0.5
  sleep 1
  for w in $(xdotool search --onlyvisible --name "Verbana 도움말"); do
    xdotool windowmove "$w" 560 300   # off the menu bar of the main window
  done
  xdotool mousemove 373 18 click 1; sleep 0.5; xdotool mousemove 395 40 click 1   # 도우미 > About
  for _ in $(seq 200); do xdotool search --onlyvisible --name "^About$" >/dev/null 2>&1 && break; sleep 0.05; done
  sleep 0.5
  about=$(xdotool search --onlyvisible --name "^About$" | head -1)
  if [ -n "$about" ]; then import -window "$about" docs/about.png; else echo "About did not open: docs/about.png kept."; fi
  kill $pid; wait $pid 2>/dev/null || true
' _ "$build" "$fresh"
rm -rf "$fresh"
echo "docs/start-helper.png, docs/help.png and docs/about.png written."

# The statistics page on a collection of 800 sermons made by another program
# (the shared fixture, read from a copy in the temporary program folder):
# the bar chart of the Old Testament books and the pie chart of the services.
fixture=${VERBANA_SHARED_DIR:-../shared}/fixtures/xbase/sermons-many
if [ ! -f "$fixture/sul2file.dbf" ]; then
  echo "No $fixture: the statistics screenshots are not taken."
  exit 0
fi
stats_home=$(mktemp -d)
trap 'rm -rf "$home" "$stats_home"' EXIT
mkdir -p "$stats_home/Sermons/data" "$stats_home/Sermons/text"
cp "$fixture"/sul2file.dbf "$fixture"/sul2file.cdx "$stats_home/Sermons/"
chmod u+w "$stats_home/Sermons/"*
printf '[file]\r\nlast=SERMONS\r\n[\xc3\xb9\xc8\xad\xb8\xe9]\r\nhelp=0\r\n' > "$stats_home/verbdesk.ini"  # 첫화면: no start helper
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  build=$1; home=$2
  VERBANA_HOME="$home" "$build/verbana" &
  pid=$!
  until xdotool search --onlyvisible --name "Verbana - " >/dev/null 2>&1; do sleep 0.05; done
  window=$(xdotool search --onlyvisible --name "Verbana - " | head -1)
  sleep 1
  click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep "${3:-0.5}"; }
  click 425 63      # the 통계 tab
  click 291 90      # 구약책별
  click 460 114 1   # 막대 그래프
  import -window root -crop 527x430+10+10 docs/statistics-bar.png
  click 303 114 1   # 예배종류별
  click 230 138 1   # 파이 그래프
  import -window root -crop 527x430+10+10 docs/statistics-pie.png
  kill $pid; wait $pid 2>/dev/null || true
' _ "$build" "$stats_home"
echo "docs/statistics-bar.png and docs/statistics-pie.png written."
